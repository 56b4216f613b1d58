#include "remessa/ui/tfrmtransferesmtp.h"

#include "shell/configlocal.h"

TFrmTransfereSMTP::TFrmTransfereSMTP(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent)
    : TransferWindow(work, db, messenger, PackageTransfer::Mode::Email, parent)
{
    setObjectName(QStringLiteral("FrmTransfereSMTP"));
    setWindowTitle(QStringLiteral("Transfere Arquivo via E-MAIL"));
    const auto config = ConfigLocalStore::read(m_db);
    showDestination(QStringLiteral("Servidor E-MAIL (SMTP) "), QStringLiteral("Servidor E-MAIL (SMTP)"),
                    QStringLiteral("EdSMTPEMail"), config ? config->endSMTPHost : QString());
}
