#include "app/corvaneapplication.h"

#include "base/messenger.h"
#include "shell/exceptionhandler.h"

CorvaneApplication::CorvaneApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{ }

void CorvaneApplication::setUpNames()
{
    QApplication::setApplicationName(QStringLiteral("Corvane"));
}

bool CorvaneApplication::notify(QObject *receiver, QEvent *event)
{
    bool handled = false;
    ConsoleMessenger console;
    Messenger &messenger = m_messenger ? *m_messenger : static_cast<Messenger &>(console);
    guard(messenger, [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
