#include "remessa/ui/tfrmselecaoresultado.h"

#include "base/messenger.h"
#include "remessa/ui/tfrmresultadoautomatico.h"
#include "remessa/ui/tfrmresultadomanual.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFrmSelecaoResultado::TFrmSelecaoResultado(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent)
    : QDialog(parent),
      m_work(work),
      m_db(db),
      m_msg(messenger)
{
    setObjectName(QStringLiteral("FrmSelecaoResultado"));
    setWindowTitle(QStringLiteral("Seleção de Modo de Recebimento"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    EdArquivoRemessa = new QLineEdit(this);
    EdArquivoRemessa->setObjectName(QStringLiteral("EdArquivoRemessa"));
    EdArquivoRemessa->setReadOnly(true);
    form->addRow(DialogParts::label(this, QStringLiteral("LbArquivo"), QStringLiteral("Arquivo Enviado ao Quelora: "),
                                    EdArquivoRemessa),
                 EdArquivoRemessa);
    layout->addLayout(form);

    auto *modes = new QGroupBox(QStringLiteral("Modo de Recebimento"), this);
    auto *modesLayout = new QVBoxLayout(modes);
    RbFTP = new QRadioButton(QStringLiteral("Recebimento Automático de Resultado da Remessa (via FTP)"), modes);
    RbFTP->setObjectName(QStringLiteral("RbFTP"));
    RbFTP->setChecked(true);
    RbManual = new QRadioButton(QStringLiteral("Informação Manual de Resultado da Remessa"), modes);
    RbManual->setObjectName(QStringLiteral("RbManual"));
    modesLayout->addWidget(RbFTP);
    modesLayout->addWidget(RbManual);
    layout->addWidget(modes);

    BtOK = DialogParts::button(this, QStringLiteral("BtOK"), QStringLiteral("Ok"));
    BtCancela = DialogParts::button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    BtOK->setDefault(true);
    layout->addLayout(DialogParts::buttonRow(BtOK, BtCancela));
    connect(BtOK, &QPushButton::clicked, this, guarded(m_msg, [this] { BtOKClick(); }));
    connect(BtCancela, &QPushButton::clicked, this, &QDialog::reject);
    DialogParts::fixDialogFrame(this, 480);
    EdArquivoRemessa->setText(m_work.remittance.packageName);
}

void TFrmSelecaoResultado::setPackageName(const QString &packageName)
{
    m_work.remittance = m_work.remittance.withPackageNamed(m_work.transferDir, packageName);
    EdArquivoRemessa->setText(packageName);
}

void TFrmSelecaoResultado::BtOKClick()
{
    if (RbFTP->isChecked()) {
        TFrmResultadoAutomatico window(m_work, m_db, m_msg, this);
        window.exec();
    } else {
        TFrmResultadoManual window(m_work, m_db, m_msg, this);
        window.exec();
    }
    accept();
}
