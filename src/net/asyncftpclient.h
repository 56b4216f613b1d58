#pragma once
#include "net/ftpclient.h"

#include <QObject>
#include <QThread>
#include <atomic>

enum class FtpOperation { Connect, ChangeDirectory, List, Upload, Download, Disconnect };
Q_DECLARE_METATYPE(FtpOperation)

// Runs an FtpClient on its own thread and reports as signals on the thread
// that owns it.
class FtpWorker : public QObject, private FtpListener
{
    Q_OBJECT
public:
    FtpWorker()
        : m_client(this)
    { }
    FtpClient &client() { return m_client; }
    // Runs call number seq; calls numbered up to abortedThrough fail as
    // aborted.
    void run(qint64 seq, FtpOperation op, const QString &first, const QString &second);
    // From the owning thread: aborts the running call and those queued up to
    // call number seq.
    void abortThrough(qint64 seq);

signals:
    void connected();
    void listItem(const QString &name);
    void progress(qint64 done, qint64 total);
    void failed(const FtpFailure &failure);
    void finished(FtpOperation op, bool ok);

private:
    void ftpConnected() override { emit connected(); }
    void ftpListItem(const QString &name) override { emit listItem(name); }
    void ftpProgress(qint64 done, qint64 total) override { emit progress(done, total); }
    void ftpFailed(const FtpFailure &failure) override { emit failed(failure); }

    FtpClient m_client;
    std::atomic<qint64> m_abortedThrough{0};
};

// The FTP client of the windows: every call returns at once and runs, in the
// order called, on a worker thread; the outcome comes back as signals, so the
// window keeps answering (its "Interrompe" included) while the server works.
// Chain the next step on finished(op, true): a step queued behind a failed
// one still runs.
class AsyncFtpClient : public QObject
{
    Q_OBJECT
public:
    explicit AsyncFtpClient(QObject *parent = nullptr);
    ~AsyncFtpClient() override;

    void setSettings(const FtpSettings &settings);
    void connectToHost();
    void changeDirectory(const QString &path);
    void listNames();
    void upload(const QString &localPath, const QString &remoteName);
    void download(const QString &remoteName, const QString &localPath);
    void disconnectFromHost();

    // Ends the running call at once and fails the ones queued so far; calls
    // made afterwards run.
    void abort();

    // As the window sees it: true from the connected signal until
    // disconnectFromHost() is called.
    bool isConnected() const { return m_connected; }
    // Calls queued or running.
    bool isBusy() const { return m_pending > 0; }

signals:
    void connected();
    void listItem(const QString &name);
    void progress(qint64 done, qint64 total);
    void failed(const FtpFailure &failure);
    void finished(FtpOperation op, bool ok);

private:
    void post(FtpOperation op, const QString &first = QString(), const QString &second = QString());

    QThread m_thread;
    FtpWorker *m_worker;
    bool m_connected = false;
    int m_pending = 0;
    qint64 m_posted = 0;
};
