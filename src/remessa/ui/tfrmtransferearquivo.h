#pragma once
#include "net/ftpfailure.h"
#include "remessa/ui/transferwindow.h"

class AsyncFtpClient;

// "Transfere Arquivo": sends the file to the regulator's FTP folder
// (EndQueloraEnvio, as LoginFTP) from a worker thread.
class TFrmTransfereArquivo : public TransferWindow
{
    Q_OBJECT
public:
    TFrmTransfereArquivo(const RemessaWork &work, Database &db, Messenger &messenger, QWidget *parent = nullptr);
    ~TFrmTransfereArquivo() override;

protected:
    void startSending(const QString &path, const ConfigLocal &config) override;
    void abortSending() override;

private:
    void stepFinished(int op, bool ok);

    AsyncFtpClient *m_ftp = nullptr;
    QLineEdit *EdEndEnvio = nullptr;
    QString m_path;
    QString m_remoteDir;
    FtpFailure m_lastFailure;
};
