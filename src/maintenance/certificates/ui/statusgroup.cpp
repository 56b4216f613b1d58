#include "maintenance/certificates/ui/statusgroup.h"

#include "maintenance/certificates/certificate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

StatusGroup::StatusGroup(const QString &title, const Names &names, QWidget *parent)
    : QGroupBox(title, parent)
{
    auto *row = new QHBoxLayout(this);
    m_text = new QLabel(this);
    m_text->setObjectName(names.text);
    // Read by its text ("Ativo", "Suspenso"); the group's title only describes it.
    m_text->setAccessibleDescription(title);
    QFont bold = m_text->font();
    bold.setBold(true);
    m_text->setFont(bold);
    m_text->setMinimumWidth(90);
    row->addWidget(m_text);
    row->addStretch();
    auto button = [this, row](const QString &name, const QString &caption, const char *letter) {
        auto *b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(caption);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setMinimumWidth(96);
        row->addWidget(b);
        const QString l = QLatin1String(letter);
        connect(b, &QToolButton::clicked, this, [this, l] { emit changeRequested(l); });
        return b;
    };
    m_activate = button(names.activate, QStringLiteral("(Re-)Ativar"), "A");
    m_suspend = button(names.suspend, QStringLiteral("Suspender"), "S");
    m_cancel = button(names.cancel, QStringLiteral("Cancelar"), "C");
    setStatus(false, QString());
}

void StatusGroup::setStatus(bool hasRow, const QString &letter)
{
    m_letter = hasRow ? letter : QString();
    setVisible(hasRow);
    m_text->setText(statusDescription(m_letter));
    m_activate->setVisible(hasRow && letter != QLatin1String("A"));
    m_suspend->setVisible(hasRow && letter != QLatin1String("S"));
    m_cancel->setVisible(hasRow && letter != QLatin1String("C"));
}
