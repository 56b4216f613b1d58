#include "maintenance/certificates/ui/tfrmjustificativa.h"

#include "base/messenger.h"
#include "maintenance/maintenancedates.h"
#include "register/sendabletext.h"
#include "widgets/columnfit.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/maskeddateedit.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

TFrmJustificativa::TFrmJustificativa(Messenger &messenger, bool askDate, const QDateTime &issue, QWidget *parent)
    : QDialog(parent),
      m_msg(messenger),
      m_askDate(askDate),
      m_issue(issue)
{
    setObjectName(QStringLiteral("FrmJustificativa"));
    setWindowTitle(QStringLiteral("Justificativa"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->setContentsMargins(16, 16, 16, 8);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    reasonField = new QLineEdit(this);
    reasonField->setObjectName(QStringLiteral("Edit1"));
    reasonField->setMinimumWidth(420);
    // The text goes into an event row: every event table declares
    // Justificativa alike. Longer text used to fail the whole change.
    ColumnFit::fit(reasonField, QStringLiteral("STATUS_C"), QStringLiteral("Justificativa"));
    form->addRow(
        DialogParts::label(this, QStringLiteral("LbJustificativa"), QStringLiteral("Justificativa :"), reasonField),
        reasonField);
    statusDateField = new MaskedDateEdit(this);
    statusDateField->setObjectName(QStringLiteral("EdtDataStatus"));
    statusDateLabel = DialogParts::label(this, QStringLiteral("LbDataStatus"), QStringLiteral("Data do Status :"),
                                         statusDateField);
    form->addRow(statusDateLabel, statusDateField);
    layout->addLayout(form);

    okButton = DialogParts::button(this, QStringLiteral("BtOK"), QStringLiteral("OK"));
    okButton->setDefault(true);
    cancelButton = DialogParts::button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    layout->addLayout(DialogParts::buttonRow(okButton, cancelButton));
    connect(okButton, &QPushButton::clicked, this, guarded(m_msg, [this] { confirm(); }));
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    // Shown only when a date is asked for, prefilled with today.
    statusDateLabel->setVisible(askDate);
    statusDateField->setVisible(askDate);
    statusDateField->setDate(QDate::currentDate());
    DialogParts::fixDialogFrame(this, 560);
}

Justification TFrmJustificativa::answer() const
{
    return {reasonField->text(), m_askDate ? statusDateField->boxText() : QString()};
}

void TFrmJustificativa::confirm()
{
    if (m_askDate) {
        const QString problem = MaintenanceDates::dayProblem(statusDateField->boxText(), m_issue, QDate::currentDate(),
                                                             MaintenanceDates::statusDateMessages());
        if (!problem.isEmpty()) {
            m_msg.error(problem);
            statusDateField->setFocus();
            return;
        }
    }
    if (reasonField->text().trimmed().isEmpty()) {
        m_msg.error(QStringLiteral("O campo de justificativa não pode ser deixado em branco."),
                    QStringLiteral("Erro de edição"));
        reasonField->setFocus();
        return;
    }
    if (!SendableText::check(m_msg, {{QStringLiteral("Justificativa"), reasonField->text()}})) {
        reasonField->setFocus();
        return;
    }
    accept();
}

JustificationPrompt TFrmJustificativa::prompt(Messenger &messenger, QWidget *parent)
{
    QPointer<QWidget> owner(parent);
    return [&messenger, owner](bool askDate, const QDateTime &issue) -> std::optional<Justification> {
        TFrmJustificativa dialog(messenger, askDate, issue, owner);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.answer();
    };
}
