#include "remessa/ui/tfrmconfresultadomanual.h"

#include "remessa/manualresult.h"
#include "widgets/dialogparts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFrmConfResultadoManual::TFrmConfResultadoManual(const QString &verdict, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmConfResultadoManual"));
    setWindowTitle(QStringLiteral("Confirma Resultado Manual"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    resultEdit = new QLineEdit(this);
    resultEdit->setObjectName(QStringLiteral("EdResultado"));
    resultEdit->setReadOnly(true);
    resultEdit->setText(ManualResult::verdictText(verdict));
    auto *label = DialogParts::label(this, QStringLiteral("LbConfirma"),
                                     QStringLiteral("Confirma Resultado Informado?"), resultEdit);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    layout->addWidget(label);
    layout->addWidget(resultEdit);
    okButton = DialogParts::button(this, QStringLiteral("BtOK"), QStringLiteral("Ok"));
    cancelButton = DialogParts::button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    okButton->setDefault(true);
    layout->addLayout(DialogParts::buttonRow(okButton, cancelButton));
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    DialogParts::fixDialogFrame(this, 320);
}

QString TFrmConfResultadoManual::shownText() const
{
    return resultEdit->text();
}
