#pragma once
#include "base/longjob.h"
#include "base/messenger.h"

#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

// Runs one LongJob at a time on a thread of its own and relays what it
// reports as signals on the thread that owns the runner (the window's), as
// the FTP client does: the window keeps answering, its "Interrompe"
// included, and only shows progress.
class JobRunner : public QObject
{
    Q_OBJECT
public:
    explicit JobRunner(QObject *parent = nullptr);
    // Asks a running job to stop and waits for it; boxes it still asks for
    // are not shown then.
    ~JobRunner() override;

    // False when a job is already running.
    bool start(std::unique_ptr<LongJob> job);
    bool start(std::function<void(JobProgress &)> work) { return start(LongJob::of(std::move(work))); }
    bool isRunning() const { return m_thread != nullptr; }

    // The running job stops at its next check.
    void interrupt();
    // The last job was asked to stop.
    bool interrupted() const { return m_interrupted; }

    // From the job: fn runs on the runner's thread, after what was posted
    // before it; post() returns at once, call() when fn has run.
    void post(std::function<void()> fn);
    void call(const std::function<void()> &fn);

signals:
    void progress(qint64 done, qint64 total);
    void step(const QString &text);
    void finished(bool interrupted);

private:
    void ended();

    QThread *m_thread = nullptr;
    std::unique_ptr<LongJob> m_job;
    std::unique_ptr<JobProgress> m_progress;
    bool m_interrupted = false;
    std::atomic<bool> m_closing{false};
};

// The messenger a job talks through: every box shows on the runner's
// thread while the job waits for the answer.
class RelayedMessenger : public Messenger
{
public:
    RelayedMessenger(JobRunner &runner, Messenger &target)
        : m_runner(runner),
          m_target(target)
    { }
    void error(const QString &text, const QString &caption = QString()) override;
    void information(const QString &text, const QString &caption = QString()) override;
    void warning(const QString &text, const QString &caption = QString()) override;
    void plain(const QString &text, const QString &caption = QString()) override;
    bool confirm(const QString &text, const QString &caption = QString()) override;

private:
    JobRunner &m_runner;
    Messenger &m_target;
};
