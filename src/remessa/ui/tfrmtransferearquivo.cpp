#include "remessa/ui/tfrmtransferearquivo.h"

#include "base/ftpaddress.h"
#include "net/asyncftpclient.h"
#include "shell/configlocal.h"
#include "shell/exceptionhandler.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

TFrmTransfereArquivo::TFrmTransfereArquivo(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent)
    : TransferWindow(work, db, messenger, parent)
{
    setObjectName(QStringLiteral("FrmTransfereArquivo"));
    setWindowTitle(QStringLiteral("Transfere Arquivo"));
    QGroupBox *dest = destinationGroup();
    dest->setTitle(QStringLiteral("Diretório Destino do Arquivo"));
    auto *row = new QVBoxLayout(dest);
    EdEndEnvio = new QLineEdit(dest);
    EdEndEnvio->setObjectName(QStringLiteral("EdEndEnvio"));
    EdEndEnvio->setReadOnly(true);
    EdEndEnvio->setAccessibleName(QStringLiteral("Diretório Destino do Arquivo"));
    row->addWidget(EdEndEnvio);
    if (const auto config = ConfigLocalStore::read(m_db))
        EdEndEnvio->setText(config->endQueloraEnvio);

    m_ftp = new AsyncFtpClient(this);
    connect(m_ftp, &AsyncFtpClient::progress, this, [this](qint64 done, qint64 total) { progressed(done, total); });
    connect(m_ftp, &AsyncFtpClient::failed, this, [this](const FtpFailure &failure) {
        m_lastFailure = failure;
        // The connection's own errors end in the box; an abort says so in the memo already.
        if (failure.kind == FtpFailure::Failure)
            noteFailure(failure.text);
    });
    connect(m_ftp, &AsyncFtpClient::finished, this,
            [this](FtpOperation op, bool ok) { guard(m_msg, [&] { stepFinished(int(op), ok); }); });
}

TFrmTransfereArquivo::~TFrmTransfereArquivo()
{
    m_ftp->abort();
}

void TFrmTransfereArquivo::startSending(const QString &path, const ConfigLocal &config)
{
    const FtpAddress address = FtpAddress::split(config.endQueloraEnvio);
    const FtpSettings settings = FtpSettings::fromConfig(address, config);
    m_path = path;
    m_remoteDir = address.path;
    m_lastFailure = FtpFailure();
    if (m_ftp->isConnected())
        m_ftp->disconnectFromHost();
    m_ftp->setSettings(settings);
    m_ftp->connectToHost();
}

void TFrmTransfereArquivo::abortSending()
{
    m_ftp->abort();
}

void TFrmTransfereArquivo::stepFinished(int op, bool ok)
{
    switch (FtpOperation(op)) {
    case FtpOperation::Connect:
        if (!ok) {
            connectFailed(m_lastFailure.text);
            return;
        }
        if (interrupted()) { // pressed while the server was answering
            m_ftp->disconnectFromHost();
            sendingEnded(false);
            return;
        }
        m_ftp->changeDirectory(m_remoteDir);
        return;
    case FtpOperation::ChangeDirectory:
        if (!ok || interrupted()) {
            m_ftp->disconnectFromHost();
            sendingEnded(false);
            return;
        }
        m_ftp->upload(m_path, QFileInfo(m_path).fileName());
        return;
    case FtpOperation::Upload:
        m_ftp->disconnectFromHost();
        sendingEnded(ok && !interrupted());
        return;
    default: return;
    }
}
