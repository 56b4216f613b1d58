#pragma once
#include "base/messenger.h"

#include <QMessageBox>
#include <QPointer>

class QWidget;

// Message boxes on screen, with Portuguese buttons. Each box is parented to
// the active window (or the given fallback) so it stays on top of it.
class QtMessenger : public Messenger
{
public:
    explicit QtMessenger(QWidget *fallbackParent = nullptr)
        : m_parent(fallbackParent)
    { }
    void setFallbackParent(QWidget *parent) { m_parent = parent; }

    void error(const QString &text, const QString &caption = QString()) override;
    void information(const QString &text, const QString &caption = QString()) override;
    void warning(const QString &text, const QString &caption = QString()) override;
    void plain(const QString &text, const QString &caption = QString()) override;
    bool confirm(const QString &text, const QString &caption = QString()) override;

private:
    int show(QMessageBox::Icon icon, const QString &text, const QString &caption, bool question);
    QPointer<QWidget> m_parent;
};
