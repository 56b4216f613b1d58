#pragma once
#include "base/messenger.h"
#include "db/serveraddress.h"

#include <QObject>
#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

class Database;
class JobRunner;
class RelayedMessenger;

// Long work of a window (a preparation, a fold) run by a JobRunner: the work
// gets a connection of its own to the window's database file and a messenger
// whose boxes open on the window's thread; progress is posted back, and
// finished() arrives on the window's thread.
class BackgroundWork : public QObject
{
    Q_OBJECT
public:
    using Work = std::function<void(Database &db, Messenger &messenger)>;

    BackgroundWork(const Database &db, Messenger &messenger, QObject *window);
    // Waits for the work: whoever owns it must have made it stop first.
    ~BackgroundWork() override;

    void start(Work work);
    bool isRunning() const;
    // Runs call on the window's thread, after what was posted before.
    void post(std::function<void()> call);
    // On the window's thread, after finished(): what the work raised.
    void rethrow();

signals:
    void finished();

private:
    // The register the window's connection has open: a file, or a server.
    QString m_path;
    std::optional<ServerAddress> m_server;
    std::unique_ptr<JobRunner> m_runner;
    std::unique_ptr<RelayedMessenger> m_messenger;
    std::exception_ptr m_failure;
};
