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
    EdResultado = new QLineEdit(this);
    EdResultado->setObjectName(QStringLiteral("EdResultado"));
    EdResultado->setReadOnly(true);
    EdResultado->setText(ManualResult::verdictText(verdict));
    auto *label = DialogParts::label(this, QStringLiteral("LbConfirma"),
                                     QStringLiteral("Confirma Resultado Informado?"), EdResultado);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    layout->addWidget(label);
    layout->addWidget(EdResultado);
    BtOK = DialogParts::button(this, QStringLiteral("BtOK"), QStringLiteral("Ok"));
    BtCancela = DialogParts::button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    BtOK->setDefault(true);
    layout->addLayout(DialogParts::buttonRow(BtOK, BtCancela));
    connect(BtOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtCancela, &QPushButton::clicked, this, &QDialog::reject);
    DialogParts::fixDialogFrame(this, 320);
}

QString TFrmConfResultadoManual::shownText() const
{
    return EdResultado->text();
}
