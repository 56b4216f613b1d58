#pragma once
#include <QApplication>

class Messenger;

// The application object: an exception that escapes an event handler is
// given to the common exception handler instead of ending the program.
class CorvaneApplication : public QApplication
{
public:
    CorvaneApplication(int &argc, char **argv);
    void setMessenger(Messenger *messenger) { m_messenger = messenger; }
    bool notify(QObject *receiver, QEvent *event) override;

private:
    Messenger *m_messenger = nullptr;
};
