#pragma once
#include "net/asyncftpclient.h"
#include "remessa/automaticresult.h"

#include <QObject>

// The result fetch's FTP calls on the worker-thread client: each call waits
// for its end in a local event loop, so the window keeps painting and its
// "Interrompe" can abort the call.
class WaitingTransport : public QObject, public AutomaticResult::Transport
{
    Q_OBJECT
public:
    explicit WaitingTransport(QObject *parent = nullptr);

    // For the window's progress bar.
    AsyncFtpClient &client() { return *m_ftp; }
    // Ends the running call; it returns false with an aborted failure.
    void abort() { m_ftp->abort(); }

    void setSettings(const FtpSettings &settings) override { m_ftp->setSettings(settings); }
    bool connectToHost() override;
    bool changeDirectory(const QString &path) override;
    bool listNames(QStringList *names) override;
    bool download(const QString &remoteName, const QString &localPath) override;
    void disconnectFromHost() override;
    FtpFailure lastFailure() const override { return m_last; }
    qint64 downloadTotal() const override { return m_total; }

private:
    bool wait(FtpOperation op);

    AsyncFtpClient *m_ftp;
    FtpFailure m_last;
    qint64 m_total = 0;
    QStringList *m_names = nullptr;
};
