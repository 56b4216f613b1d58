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
    packageEdit = DialogParts::readOnlyField(this, QStringLiteral("EdArquivoRemessa"));
    form->addRow(DialogParts::label(this, QStringLiteral("LbArquivo"), QStringLiteral("Arquivo Enviado ao Quelora: "),
                                    packageEdit),
                 packageEdit);
    layout->addLayout(form);

    auto *modes = new QGroupBox(QStringLiteral("Modo de Recebimento"), this);
    auto *modesLayout = new QVBoxLayout(modes);
    ftpRadio = DialogParts::radioButton(modes, QStringLiteral("RbFTP"),
                                        QStringLiteral("Recebimento Automático de Resultado da Remessa (via FTP)"));
    ftpRadio->setChecked(true);
    manualRadio = DialogParts::radioButton(modes, QStringLiteral("RbManual"),
                                           QStringLiteral("Informação Manual de Resultado da Remessa"));
    modesLayout->addWidget(ftpRadio);
    modesLayout->addWidget(manualRadio);
    layout->addWidget(modes);

    okButton = DialogParts::addOkCancel(this, layout, QStringLiteral("BtOK"), QStringLiteral("BtCancela")).ok;
    connect(okButton, &QPushButton::clicked, this, guarded(m_msg, [this] { openChosenResult(); }));
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
