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
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(420);
    // The text goes into an event row: every event table declares
    // Justificativa alike. Longer text used to fail the whole change.
    ColumnFit::fit(Edit1, QStringLiteral("STATUS_C"), QStringLiteral("Justificativa"));
    form->addRow(DialogParts::label(this, QStringLiteral("LbJustificativa"), QStringLiteral("Justificativa :"), Edit1),
                 Edit1);
    EdtDataStatus = new MaskedDateEdit(this);
    EdtDataStatus->setObjectName(QStringLiteral("EdtDataStatus"));
    LbDataStatus = DialogParts::label(this, QStringLiteral("LbDataStatus"), QStringLiteral("Data do Status :"),
                                      EdtDataStatus);
    form->addRow(LbDataStatus, EdtDataStatus);
    layout->addLayout(form);

    BtOK = DialogParts::button(this, QStringLiteral("BtOK"), QStringLiteral("OK"));
    BtOK->setDefault(true);
    BtCancela = DialogParts::button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    layout->addLayout(DialogParts::buttonRow(BtOK, BtCancela));
    connect(BtOK, &QPushButton::clicked, this, guarded(m_msg, [this] { OKClick(); }));
    connect(BtCancela, &QPushButton::clicked, this, &QDialog::reject);

    // Shown only when a date is asked for, prefilled with today.
    LbDataStatus->setVisible(askDate);
    EdtDataStatus->setVisible(askDate);
    EdtDataStatus->setDate(QDate::currentDate());
    DialogParts::fixDialogFrame(this, 560);
}

Justification TFrmJustificativa::answer() const
{
    return {Edit1->text(), m_askDate ? EdtDataStatus->boxText() : QString()};
}

void TFrmJustificativa::OKClick()
{
    if (m_askDate) {
        const QString problem = MaintenanceDates::dayProblem(EdtDataStatus->boxText(), m_issue, QDate::currentDate(),
                                                             MaintenanceDates::statusDateMessages());
        if (!problem.isEmpty()) {
            m_msg.error(problem);
            EdtDataStatus->setFocus();
            return;
        }
    }
    if (Edit1->text().trimmed().isEmpty()) {
        m_msg.error(QStringLiteral("O campo de justificativa não pode ser deixado em branco."),
                    QStringLiteral("Erro de edição"));
        Edit1->setFocus();
        return;
    }
    if (!SendableText::check(m_msg, {{QStringLiteral("Justificativa"), Edit1->text()}})) {
        Edit1->setFocus();
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
