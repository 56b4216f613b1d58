#include "widgets/jobrunner.h"

#include <QCoreApplication>

JobRunner::JobRunner(QObject *parent)
    : QObject(parent)
{ }

JobRunner::~JobRunner()
{
    if (!m_thread)
        return;
    m_closing.store(true);
    m_progress->requestStop();
    // A job waiting in call() is released here; what it asked is dropped.
    while (!m_thread->wait(20))
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    delete m_thread;
}

bool JobRunner::start(std::unique_ptr<LongJob> job)
{
    if (m_thread)
        return false;
    m_interrupted = false;
    m_job = std::move(job);
    m_progress = std::make_unique<JobProgress>(
        [this](qint64 done, qint64 total) { post([this, done, total] { emit progress(done, total); }); },
        [this](const QString &text) { post([this, text] { emit step(text); }); });
    m_thread = QThread::create([job = m_job.get(), progress = m_progress.get()] { job->run(*progress); });
    m_thread->setObjectName(QStringLiteral("job"));
    // Queued behind every report the job posted.
    connect(m_thread, &QThread::finished, this, &JobRunner::ended, Qt::QueuedConnection);
    m_thread->start();
    return true;
}

void JobRunner::ended()
{
    if (m_closing.load())
        return; // the destructor waits for the thread itself
    QThread *thread = m_thread;
    m_thread = nullptr;
    thread->wait();
    delete thread;
    m_job.reset();
    m_progress.reset();
    emit finished(m_interrupted);
}

void JobRunner::interrupt()
{
    if (!m_thread)
        return;
    m_interrupted = true;
    m_progress->requestStop();
}

void JobRunner::post(std::function<void()> fn)
{
    QMetaObject::invokeMethod(
        this,
        [this, fn = std::move(fn)] {
            if (!m_closing.load())
                fn();
        },
        Qt::QueuedConnection);
}

void JobRunner::call(const std::function<void()> &fn)
{
    if (QThread::currentThread() == thread()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, &fn] {
            if (!m_closing.load())
                fn();
        },
        Qt::BlockingQueuedConnection);
}

void RelayedMessenger::error(const QString &text, const QString &caption)
{
    m_runner.call([&] { m_target.error(text, caption); });
}

void RelayedMessenger::information(const QString &text, const QString &caption)
{
    m_runner.call([&] { m_target.information(text, caption); });
}

void RelayedMessenger::warning(const QString &text, const QString &caption)
{
    m_runner.call([&] { m_target.warning(text, caption); });
}

void RelayedMessenger::plain(const QString &text, const QString &caption)
{
    m_runner.call([&] { m_target.plain(text, caption); });
}

bool RelayedMessenger::confirm(const QString &text, const QString &caption)
{
    bool answer = false;
    m_runner.call([&] { answer = m_target.confirm(text, caption); });
    return answer;
}
