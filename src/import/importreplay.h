#pragma once
#include "base/messenger.h"

// What a file's import tells the user while it is imported a second time:
// the first attempt has already shown everything up to the point where it
// failed, so the second is silent until it gets back there. The points are
// counted by the run (a record's write begins, the writes end).
class ImportReplay : public Messenger
{
public:
    explicit ImportReplay(Messenger &user)
        : m_user(user)
    { }

    // A first attempt: everything is shown; the points are counted from 0.
    void begin()
    {
        m_point = 0;
        m_silentUntil = 0;
    }
    // The second: silent until it reaches the point where the first stopped.
    void replay()
    {
        m_silentUntil = m_point;
        m_point = 0;
    }
    void advance() { ++m_point; }
    // Whatever comes after the writes is shown, even when a second attempt
    // ended before the point where the first stopped.
    void showFromHere() { m_silentUntil = 0; }
    bool silent() const { return m_point < m_silentUntil; }

    void error(const QString &text, const QString &caption = QString()) override
    {
        if (!silent())
            m_user.error(text, caption);
    }
    void information(const QString &text, const QString &caption = QString()) override
    {
        if (!silent())
            m_user.information(text, caption);
    }
    void warning(const QString &text, const QString &caption = QString()) override
    {
        if (!silent())
            m_user.warning(text, caption);
    }
    void plain(const QString &text, const QString &caption = QString()) override
    {
        if (!silent())
            m_user.plain(text, caption);
    }
    bool confirm(const QString &text, const QString &caption = QString()) override
    {
        return m_user.confirm(text, caption); // an answer is always asked for
    }

private:
    Messenger &m_user;
    int m_point = 0;
    int m_silentUntil = 0;
};
