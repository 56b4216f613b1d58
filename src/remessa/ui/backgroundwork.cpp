#include "remessa/ui/backgroundwork.h"

#include "db/database.h"

#include <QAtomicInteger>
#include <QThread>

namespace {
QAtomicInteger<int> connections;
}

void BackgroundWork::WindowMessenger::onWindowThread(const std::function<void()> &call)
{
    if (QThread::currentThread() == m_window->thread())
        call();
    else
        QMetaObject::invokeMethod(m_window, call, Qt::BlockingQueuedConnection);
}

void BackgroundWork::WindowMessenger::error(const QString &text, const QString &caption)
{
    onWindowThread([&] { m_target.error(text, caption); });
}

void BackgroundWork::WindowMessenger::information(const QString &text, const QString &caption)
{
    onWindowThread([&] { m_target.information(text, caption); });
}

void BackgroundWork::WindowMessenger::warning(const QString &text, const QString &caption)
{
    onWindowThread([&] { m_target.warning(text, caption); });
}

void BackgroundWork::WindowMessenger::plain(const QString &text, const QString &caption)
{
    onWindowThread([&] { m_target.plain(text, caption); });
}

bool BackgroundWork::WindowMessenger::confirm(const QString &text, const QString &caption)
{
    bool answer = false;
    onWindowThread([&] { answer = m_target.confirm(text, caption); });
    return answer;
}

BackgroundWork::BackgroundWork(const Database &db, Messenger &messenger, QObject *window)
    : QObject(window),
      m_path(db.path()),
      m_messenger(messenger, window)
{ }

BackgroundWork::~BackgroundWork()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void BackgroundWork::start(Work work)
{
    if (m_thread)
        return;
    m_failure = nullptr;
    const QString name = QStringLiteral("CapaCertific-trabalho-%1").arg(connections.fetchAndAddRelaxed(1));
    m_thread = QThread::create([this, name, work = std::move(work)] {
        try {
            Database db(name);
            db.open(m_path);
            work(db, m_messenger);
        } catch (...) {
            m_failure = std::current_exception();
        }
    });
    connect(m_thread, &QThread::finished, this, &BackgroundWork::ended);
    m_thread->start();
}

void BackgroundWork::ended()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    emit finished();
}

void BackgroundWork::post(std::function<void()> call)
{
    QMetaObject::invokeMethod(parent(), std::move(call), Qt::QueuedConnection);
}

void BackgroundWork::rethrow()
{
    if (m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
}
