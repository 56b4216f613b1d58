#include "remessa/ui/tfrmselecaotransferencia.h"

#include "base/messenger.h"
#include "remessa/ui/tfrmgravadisquete.h"
#include "remessa/ui/tfrmtransferearquivo.h"
#include "remessa/ui/tfrmtransferesmtp.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/stepparts.h"

#include <QButtonGroup>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFrmSelecaoTransferencia::TFrmSelecaoTransferencia(const RemessaWork &work, Database &db, Messenger &messenger,
                                                   QWidget *parent)
    : QDialog(parent),
      m_work(work),
      m_db(db),
      m_msg(messenger)
{
    setObjectName(QStringLiteral("FrmSelecaoTransferencia"));
    setWindowTitle(QStringLiteral("Seleção do Modo de Transferência"));
    auto *layout = new QVBoxLayout(this);

    const StepParts::FileFields file = StepParts::addFileGroup(this, layout);
    folderEdit = file.folder;
    packageEdit = file.name;

    modeGroup = new QGroupBox(QStringLiteral("Modo de Transferência"), this);
    modeGroup->setObjectName(QStringLiteral("RgSelecao"));
    auto *modes = new QVBoxLayout(modeGroup);
    m_modes = new QButtonGroup(this);
    const QString texts[] = {QStringLiteral("Transferência automática via FTP para o Quelora "),
                             QStringLiteral("Gravação de disquete a ser enviado ao Quelora"),
                             QStringLiteral("Transferência automática via EMAIL para o Quelora ")};
    for (int i = 0; i < 3; ++i) {
        QRadioButton *b = DialogParts::radioButton(modeGroup, QStringLiteral("RgSelecao%1").arg(i), texts[i]);
        m_modes->addButton(b, i);
        modes->addWidget(b);
    }
    m_modes->button(0)->setChecked(true);
    layout->addWidget(modeGroup);

    okButton = DialogParts::addOkCancel(this, layout, QStringLiteral("BtOK"), QStringLiteral("BtCancela")).ok;
    connect(okButton, &QPushButton::clicked, this, guarded(m_msg, [this] { openChosenTransfer(); }));
    DialogParts::fixDialogFrame(this, 480);

    folderEdit->setText(QDir::toNativeSeparators(m_work.transferDir));
    setFileName(m_work.remittance.packageName);
}

void TFrmSelecaoTransferencia::setFileName(const QString &fileName)
{
    m_fileName = fileName;
    packageEdit->setText(fileName);
}

int TFrmSelecaoTransferencia::selectedMode() const
{
    return m_modes->checkedId();
}

void TFrmSelecaoTransferencia::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    okButton->setFocus();
}

void TFrmSelecaoTransferencia::openChosenTransfer()
{
    const QString &name = m_fileName;
    switch (selectedMode()) {
    case 0: {
        TFrmTransfereArquivo window(m_work, m_db, m_msg, this);
        window.setFileName(name);
        window.exec();
        break;
    }
    case 1: {
        TFrmGravaDisquete window(m_work, m_db, m_msg, this);
        window.setFileName(name);
        window.exec();
        break;
    }
    case 2: {
        TFrmTransfereSMTP window(m_work, m_db, m_msg, this);
        window.setFileName(name);
        window.exec();
        break;
    }
    default: return;
    }
    accept();
}
