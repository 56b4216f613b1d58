#pragma once
#include "net/smtpsender.h"

#include <QObject>
#include <QThread>
#include <atomic>

// Runs an SmtpSender on its own thread and reports as signals.
class SmtpWorker : public QObject, private SmtpListener
{
    Q_OBJECT
public:
    SmtpWorker()
        : m_sender(this)
    { }
    void run(qint64 seq, const SmtpSettings &settings, const SmtpMessage &message);
    // From the owning thread: aborts the running send and those queued up to
    // send number seq.
    void abortThrough(qint64 seq);

signals:
    void connected();
    void progress(qint64 done, qint64 total);
    void failed(const SmtpFailure &failure);
    void finished(bool ok);

private:
    void smtpConnected() override { emit connected(); }
    void smtpProgress(qint64 done, qint64 total) override { emit progress(done, total); }
    void smtpFailed(const SmtpFailure &failure) override { emit failed(failure); }

    SmtpSender m_sender;
    std::atomic<qint64> m_abortedThrough{0};
};

// The e-mail sender of the windows: send() returns at once, the message goes
// from a worker thread, and the outcome comes back as signals.
class AsyncSmtpSender : public QObject
{
    Q_OBJECT
public:
    explicit AsyncSmtpSender(QObject *parent = nullptr);
    ~AsyncSmtpSender() override;

    void send(const SmtpSettings &settings, const SmtpMessage &message);
    // Ends the running send at once; sends asked for afterwards go.
    void abort();
    bool isBusy() const { return m_pending > 0; }

signals:
    void connected();
    void progress(qint64 done, qint64 total);
    void failed(const SmtpFailure &failure);
    void finished(bool ok);

private:
    QThread m_thread;
    SmtpWorker *m_worker;
    int m_pending = 0;
    qint64 m_posted = 0;
};
