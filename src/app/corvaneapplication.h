#pragma once
#include <QApplication>

class Messenger;

// The application object: an exception that escapes an event handler is
// given to the common exception handler instead of ending the program.
class CorvaneApplication : public QApplication
{
public:
    CorvaneApplication(int &argc, char **argv);
    // The program's name. No display name is set: the platform would append
    // it to every window title, and titles show exactly their captions.
    static void setUpNames();
    void setMessenger(Messenger *messenger) { m_messenger = messenger; }
    bool notify(QObject *receiver, QEvent *event) override;

private:
    Messenger *m_messenger = nullptr;
};
