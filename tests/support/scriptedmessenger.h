#pragma once
#include "base/messenger.h"

#include <QList>
#include <QQueue>
#include <QString>

// Records every message and answers confirmations from a preloaded queue
// (No when the queue is empty).
class ScriptedMessenger : public Messenger
{
public:
    enum Kind { Error, Information, Warning, Plain, Confirm };
    struct Message
    {
        Kind kind;
        QString text;
        QString caption;
    };

    void error(const QString &text, const QString &caption = QString()) override { record(Error, text, caption); }
    void information(const QString &text, const QString &caption = QString()) override
    {
        record(Information, text, caption);
    }
    void warning(const QString &text, const QString &caption = QString()) override { record(Warning, text, caption); }
    void plain(const QString &text, const QString &caption = QString()) override { record(Plain, text, caption); }
    bool confirm(const QString &text, const QString &caption = QString()) override
    {
        record(Confirm, text, caption);
        return answers.isEmpty() ? false : answers.dequeue();
    }

    QList<Message> messages;
    QQueue<bool> answers;

    QStringList texts() const
    {
        QStringList out;
        for (const auto &m : messages)
            out << m.text;
        return out;
    }
    QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }
    Kind lastKind() const { return messages.isEmpty() ? Plain : messages.last().kind; }
    QString lastCaption() const { return messages.isEmpty() ? QString() : messages.last().caption; }
    void clear() { messages.clear(); }

private:
    void record(Kind k, const QString &t, const QString &c) { messages.append({k, t, c}); }
};
