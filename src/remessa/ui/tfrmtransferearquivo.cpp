#include "remessa/ui/tfrmtransferearquivo.h"

#include "shell/configlocal.h"

TFrmTransfereArquivo::TFrmTransfereArquivo(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent)
    : TransferWindow(work, db, messenger, PackageTransfer::Mode::Ftp, parent)
{
    setObjectName(QStringLiteral("FrmTransfereArquivo"));
    setWindowTitle(QStringLiteral("Transfere Arquivo"));
    const auto config = ConfigLocalStore::read(m_db);
    showDestination(QStringLiteral("Diretório Destino do Arquivo"), QStringLiteral("Diretório Destino do Arquivo"),
                    QStringLiteral("EdEndEnvio"), config ? config->endQueloraEnvio : QString());
}
