#pragma once
#include "shell/exceptionhandler.h"

// Wraps a handler so that it runs under the common exception handler:
// connect(button, &QPushButton::clicked, this, guarded(messenger, [this] { ... }));
template <typename F> auto guarded(Messenger &messenger, F handler)
{
    return [&messenger, handler]() mutable { guard(messenger, handler); };
}
