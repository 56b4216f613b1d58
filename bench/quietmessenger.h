#pragma once
// A messenger for the benchmarks: answers no to every question and keeps the
// errors and warnings, to print when a run fails.
#include "base/messenger.h"

#include <QStringList>

class QuietMessenger : public Messenger
{
public:
    QStringList errors;
    void error(const QString &t, const QString & = QString()) override { errors << t; }
    void information(const QString &, const QString & = QString()) override { }
    void warning(const QString &t, const QString & = QString()) override { errors << t; }
    void plain(const QString &, const QString & = QString()) override { }
    bool confirm(const QString &, const QString & = QString()) override { return false; }
};
