#pragma once
#include <QString>

// Every message box of the system goes through this, so services never pop
// windows themselves and tests can script the answers.
class Messenger
{
public:
    virtual ~Messenger() = default;
    virtual void error(const QString &text, const QString &caption = QString()) = 0;
    virtual void information(const QString &text, const QString &caption = QString()) = 0;
    virtual void warning(const QString &text, const QString &caption = QString()) = 0;
    // A plain box with a caption and no icon.
    virtual void plain(const QString &text, const QString &caption = QString()) = 0;
    // Yes/No question; true means Yes.
    virtual bool confirm(const QString &text, const QString &caption = QString()) = 0;
};

// Prints to stdout/stderr; confirmations take a fixed answer. For the batch tool.
class ConsoleMessenger : public Messenger
{
public:
    explicit ConsoleMessenger(bool answer = false)
        : m_answer(answer)
    { }
    void error(const QString &text, const QString &caption = QString()) override;
    void information(const QString &text, const QString &caption = QString()) override;
    void warning(const QString &text, const QString &caption = QString()) override;
    void plain(const QString &text, const QString &caption = QString()) override;
    bool confirm(const QString &text, const QString &caption = QString()) override;

private:
    bool m_answer;
};
