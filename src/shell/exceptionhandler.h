#pragma once
#include <QString>
#include <exception>
#include <utility>

class Messenger;

// The common exception handler: an exception that no operation catches is
// appended to the daily error log and shown in a warning box; the window
// that ran the operation stays open.
namespace ExceptionHandler {

inline const QString Caption = QStringLiteral("Corvane");

QString messageOf(const std::exception &e);
void handle(const std::exception &e, Messenger &messenger);
void handleUnknown(Messenger &messenger);

}

// Runs an operation under the common exception handler. False when it raised.
template <typename F> bool guard(Messenger &messenger, F &&operation)
{
    try {
        std::forward<F>(operation)();
        return true;
    } catch (const std::exception &e) {
        ExceptionHandler::handle(e, messenger);
    } catch (...) {
        ExceptionHandler::handleUnknown(messenger);
    }
    return false;
}
