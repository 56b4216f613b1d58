#pragma once
#include <QCursor>
#include <QGuiApplication>

// Hourglass for the length of a scope, for windows that call a long
// operation (zip, unzip, transfers) inside a button handler. Restored also
// when the operation throws.
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};
