#pragma once
#include "base/messenger.h"

// Shows nothing: keeps what would have been said, for a caller that tells it
// as part of its own message. Questions are answered No.
class QuietMessenger : public Messenger
{
public:
    QString said;
    void error(const QString &t, const QString & = QString()) override { said += t; }
    void information(const QString &t, const QString & = QString()) override { said += t; }
    void warning(const QString &t, const QString & = QString()) override { said += t; }
    void plain(const QString &t, const QString & = QString()) override { said += t; }
    bool confirm(const QString &, const QString & = QString()) override { return false; }
};
