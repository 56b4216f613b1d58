#include "net/asyncsmtpsender.h"

void SmtpWorker::abortThrough(qint64 seq)
{
    m_abortedThrough.store(seq);
    m_sender.abort();
}

void SmtpWorker::run(qint64 seq, const SmtpSettings &settings, const SmtpMessage &message)
{
    // Clear first, then look: an abort arriving meanwhile is never lost.
    m_sender.clearAbort();
    if (seq <= m_abortedThrough.load())
        m_sender.abort();
    m_sender.setSettings(settings);
    emit finished(m_sender.send(message));
}

AsyncSmtpSender::AsyncSmtpSender(QObject *parent)
    : QObject(parent),
      m_worker(new SmtpWorker)
{
    qRegisterMetaType<SmtpFailure>();
    m_worker->moveToThread(&m_thread);
    connect(m_worker, &SmtpWorker::connected, this, &AsyncSmtpSender::connected);
    connect(m_worker, &SmtpWorker::progress, this, &AsyncSmtpSender::progress);
    connect(m_worker, &SmtpWorker::failed, this, &AsyncSmtpSender::failed);
    connect(m_worker, &SmtpWorker::finished, this, [this](bool ok) {
        --m_pending;
        emit finished(ok);
    });
    m_thread.setObjectName(QStringLiteral("smtp"));
    m_thread.start();
}

AsyncSmtpSender::~AsyncSmtpSender()
{
    abort();
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

void AsyncSmtpSender::send(const SmtpSettings &settings, const SmtpMessage &message)
{
    ++m_pending;
    const qint64 seq = ++m_posted;
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, seq, settings, message] { w->run(seq, settings, message); }, Qt::QueuedConnection);
}

void AsyncSmtpSender::abort()
{
    m_worker->abortThrough(m_posted);
}
