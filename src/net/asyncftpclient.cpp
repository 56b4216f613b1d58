#include "net/asyncftpclient.h"

void FtpWorker::abortThrough(qint64 seq)
{
    m_abortedThrough.store(seq);
    m_client.abort();
}

void FtpWorker::run(qint64 seq, FtpOperation op, const QString &first, const QString &second)
{
    // Clear first, then look: an abort arriving meanwhile is never lost.
    m_client.clearAbort();
    if (seq <= m_abortedThrough.load())
        m_client.abort();
    bool ok = false;
    switch (op) {
    case FtpOperation::Connect: ok = m_client.connectToHost(); break;
    case FtpOperation::ChangeDirectory: ok = m_client.changeDirectory(first); break;
    case FtpOperation::List: ok = m_client.listNames(); break;
    case FtpOperation::Upload: ok = m_client.upload(first, second); break;
    case FtpOperation::Download: ok = m_client.download(first, second); break;
    case FtpOperation::Disconnect:
        m_client.disconnectFromHost();
        ok = true;
        break;
    }
    emit finished(op, ok);
}

AsyncFtpClient::AsyncFtpClient(QObject *parent)
    : QObject(parent),
      m_worker(new FtpWorker)
{
    qRegisterMetaType<FtpFailure>();
    qRegisterMetaType<FtpOperation>();
    m_worker->moveToThread(&m_thread);
    connect(m_worker, &FtpWorker::connected, this, [this] {
        m_connected = true;
        emit connected();
    });
    connect(m_worker, &FtpWorker::listItem, this, &AsyncFtpClient::listItem);
    connect(m_worker, &FtpWorker::progress, this, &AsyncFtpClient::progress);
    connect(m_worker, &FtpWorker::failed, this, &AsyncFtpClient::failed);
    connect(m_worker, &FtpWorker::finished, this, [this](FtpOperation op, bool ok) {
        --m_pending;
        emit finished(op, ok);
    });
    m_thread.setObjectName(QStringLiteral("ftp"));
    m_thread.start();
}

AsyncFtpClient::~AsyncFtpClient()
{
    abort();
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker] { w->client().disconnectFromHost(); }, Qt::QueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

void AsyncFtpClient::setSettings(const FtpSettings &settings)
{
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, settings] { w->client().setSettings(settings); }, Qt::QueuedConnection);
}

void AsyncFtpClient::post(FtpOperation op, const QString &first, const QString &second)
{
    ++m_pending;
    const qint64 seq = ++m_posted;
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, seq, op, first, second] { w->run(seq, op, first, second); }, Qt::QueuedConnection);
}

void AsyncFtpClient::connectToHost()
{
    post(FtpOperation::Connect);
}

void AsyncFtpClient::changeDirectory(const QString &path)
{
    post(FtpOperation::ChangeDirectory, path);
}
void AsyncFtpClient::listNames()
{
    post(FtpOperation::List);
}
void AsyncFtpClient::upload(const QString &localPath, const QString &remoteName)
{
    post(FtpOperation::Upload, localPath, remoteName);
}
void AsyncFtpClient::download(const QString &remoteName, const QString &localPath)
{
    post(FtpOperation::Download, remoteName, localPath);
}

void AsyncFtpClient::disconnectFromHost()
{
    m_connected = false;
    post(FtpOperation::Disconnect);
}

void AsyncFtpClient::abort()
{
    m_worker->abortThrough(m_posted);
}
