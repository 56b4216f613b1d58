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
    packageEdit = new QLineEdit(this);
    packageEdit->setObjectName(QStringLiteral("EdArquivoRemessa"));
    packageEdit->setReadOnly(true);
    form->addRow(DialogParts::label(this, QStringLiteral("LbArquivo"), QStringLiteral("Arquivo Enviado ao Quelora: "),
                                    packageEdit),
                 packageEdit);
    layout->addLayout(form);

    auto *modes = new QGroupBox(QStringLiteral("Modo de Recebimento"), this);
    auto *modesLayout = new QVBoxLayout(modes);
    ftpRadio = new QRadioButton(QStringLiteral("Recebimento Automático de Resultado da Remessa (via FTP)"), modes);
    ftpRadio->setObjectName(QStringLiteral("RbFTP"));
    ftpRadio->setChecked(true);
    manualRadio = new QRadioButton(QStringLiteral("Informação Manual de Resultado da Remessa"), modes);
    manualRadio->setObjectName(QStringLiteral("RbManual"));
    modesLayout->addWidget(ftpRadio);
    modesLayout->addWidget(manualRadio);
    layout->addWidget(modes);

    okButton = DialogParts::button(this, QStringLiteral("BtOK"), QStringLiteral("Ok"));
    cancelButton = DialogParts::button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    okButton->setDefault(true);
    layout->addLayout(DialogParts::buttonRow(okButton, cancelButton));
    connect(okButton, &QPushButton::clicked, this, guarded(m_msg, [this] { openChosenResult(); }));
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    DialogParts::fixDialogFrame(this, 480);
    packageEdit->setText(m_work.remittance.packageName);
}

void TFrmSelecaoResultado::setPackageName(const QString &packageName)
{
    m_work.remittance = m_work.remittance.withPackageNamed(m_work.transferDir, packageName);
    packageEdit->setText(packageName);
}

void TFrmSelecaoResultado::openChosenResult()
{
    if (ftpRadio->isChecked()) {
        TFrmResultadoAutomatico window(m_work, m_db, m_msg, this);
        window.exec();
    } else {
        TFrmResultadoManual window(m_work, m_db, m_msg, this);
        window.exec();
    }
    accept();
}
