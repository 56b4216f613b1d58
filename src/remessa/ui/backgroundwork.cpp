#include "remessa/ui/backgroundwork.h"

#include "db/database.h"
#include "widgets/jobrunner.h"

#include <QAtomicInteger>

namespace {
QAtomicInteger<int> workConnections;
}

BackgroundWork::BackgroundWork(const Database &db, Messenger &messenger, QObject *window)
    : QObject(window),
      m_path(db.path()),
      m_server(db.onServer() ? std::optional<ServerAddress>(db.server()) : std::nullopt),
      m_runner(std::make_unique<JobRunner>()),
      m_messenger(std::make_unique<RelayedMessenger>(*m_runner, messenger))
{
    connect(m_runner.get(), &JobRunner::finished, this, [this] { emit finished(); });
}

BackgroundWork::~BackgroundWork()
{
    m_runner.reset(); // waits for the work, which may still talk through the messenger
}

bool BackgroundWork::isRunning() const
{
    return m_runner->isRunning();
}

void BackgroundWork::start(Work work)
{
    if (m_runner->isRunning())
        return;
    m_failure = nullptr;
    const QString name = QStringLiteral("CapaCertific-trabalho-%1").arg(workConnections.fetchAndAddRelaxed(1));
    m_runner->start([this, name, work = std::move(work)](JobProgress &) {
        try {
            Database db(name);
            if (m_server)
                db.openServer(*m_server);
            else
                db.open(m_path);
            work(db, *m_messenger);
        } catch (...) {
            m_failure = std::current_exception();
        }
    });
}

void BackgroundWork::post(std::function<void()> call)
{
    m_runner->post(std::move(call));
}

void BackgroundWork::rethrow()
{
    if (m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
}
