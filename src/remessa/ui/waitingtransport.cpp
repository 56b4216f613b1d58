#include "remessa/ui/waitingtransport.h"

#include <QEventLoop>

WaitingTransport::WaitingTransport(QObject *parent)
    : QObject(parent),
      m_ftp(new AsyncFtpClient(this))
{
    connect(m_ftp, &AsyncFtpClient::failed, this, [this](const FtpFailure &f) { m_last = f; });
    connect(m_ftp, &AsyncFtpClient::listItem, this, [this](const QString &name) {
        if (m_names)
            m_names->append(name);
    });
    connect(m_ftp, &AsyncFtpClient::progress, this, [this](qint64, qint64 total) { m_total = total; });
}

bool WaitingTransport::wait(FtpOperation op)
{
    bool ok = false;
    QEventLoop loop;
    const auto c = connect(m_ftp, &AsyncFtpClient::finished, &loop, [&](FtpOperation done, bool success) {
        if (done == op) {
            ok = success;
            loop.quit();
        }
    });
    loop.exec();
    disconnect(c);
    return ok;
}

bool WaitingTransport::connectToHost()
{
    m_last = FtpFailure();
    if (m_ftp->isConnected())
        m_ftp->disconnectFromHost();
    m_ftp->connectToHost();
    return wait(FtpOperation::Connect);
}

bool WaitingTransport::changeDirectory(const QString &path)
{
    m_ftp->changeDirectory(path);
    return wait(FtpOperation::ChangeDirectory);
}

bool WaitingTransport::listNames(QStringList *names)
{
    QStringList collected;
    m_names = &collected;
    m_ftp->listNames();
    const bool ok = wait(FtpOperation::List);
    m_names = nullptr;
    if (names)
        *names = collected;
    return ok;
}

bool WaitingTransport::download(const QString &remoteName, const QString &localPath)
{
    m_total = 0;
    m_ftp->download(remoteName, localPath);
    return wait(FtpOperation::Download);
}

void WaitingTransport::disconnectFromHost()
{
    m_ftp->disconnectFromHost();
}
