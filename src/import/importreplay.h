#pragma once
#include "base/messenger.h"

#include <algorithm>
#include <functional>
#include <vector>

// What a file's import tells the user while it is imported a second time:
// the first attempt has already shown everything up to the point where it
// failed, so the second is silent until it gets back there. The points are
// counted by the run (a record's write begins, the writes end).
//
// A first attempt whose writes are confirmed only later (a server's writes
// sent without waiting for their answers) holds back what it tells until
// the writes before it are confirmed (release()): a failure then discards
// the rest, and the second attempt is silent up to the last release only.
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
        m_released = 0;
        m_holding = m_held = false;
        m_waiting.clear();
    }
    // What the attempt tells waits for release() from now on.
    void hold() { m_holding = m_held = true; }
    bool holding() const { return m_holding; }
    // What follows is shown at once again (what is held stays so).
    void showAsTold() { m_holding = false; }
    // Everything told so far is shown; a second attempt is silent up to here.
    void release()
    {
        std::vector<std::function<void()>> waiting;
        waiting.swap(m_waiting);
        for (const auto &show : waiting)
            show();
        // A later attempt may release before the point an earlier one showed.
        m_released = std::max(m_released, m_point + 1);
    }
    // The second: silent until it reaches the point where the first stopped,
    // or the first's last release when it held back; what it held back is
    // never shown.
    void replay()
    {
        m_silentUntil = m_held ? m_released : m_point;
        m_waiting.clear();
        m_holding = m_held = false;
        m_point = 0;
    }
    void advance() { ++m_point; }
    // Whatever comes after the writes is shown, even when a second attempt
    // ended before the point where the first stopped; nothing more is held.
    void showFromHere()
    {
        m_silentUntil = 0;
        m_holding = false;
    }
    bool silent() const { return m_point < m_silentUntil; }
    // Shown now, or when released while held back; never while silent.
    void show(std::function<void()> what)
    {
        if (silent())
            return;
        if (m_holding)
            m_waiting.push_back(std::move(what));
        else
            what();
    }

    void error(const QString &text, const QString &caption = QString()) override
    {
        show([this, text, caption] { m_user.error(text, caption); });
    }
    void information(const QString &text, const QString &caption = QString()) override
    {
        show([this, text, caption] { m_user.information(text, caption); });
    }
    void warning(const QString &text, const QString &caption = QString()) override
    {
        show([this, text, caption] { m_user.warning(text, caption); });
    }
    void plain(const QString &text, const QString &caption = QString()) override
    {
        show([this, text, caption] { m_user.plain(text, caption); });
    }
    bool confirm(const QString &text, const QString &caption = QString()) override
    {
        return m_user.confirm(text, caption); // an answer is always asked for
    }

private:
    Messenger &m_user;
    int m_point = 0;
    int m_silentUntil = 0;
    int m_released = 0; // the first point not yet shown of a holding attempt
    bool m_holding = false;
    bool m_held = false; // this attempt held back what it told
    std::vector<std::function<void()>> m_waiting;
};
