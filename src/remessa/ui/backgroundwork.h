#pragma once
#include "base/messenger.h"

#include <QObject>
#include <QString>
#include <exception>
#include <functional>
#include <memory>

class Database;
class QThread;

// Long work of a window (a preparation, a fold) on a thread of its own, as
// the FTP client runs: the work gets a connection of its own to the window's
// database file and a messenger whose boxes open on the window's thread;
// progress is posted back, and finished() arrives on the window's thread.
class BackgroundWork : public QObject
{
    Q_OBJECT
public:
    using Work = std::function<void(Database &db, Messenger &messenger)>;

    BackgroundWork(const Database &db, Messenger &messenger, QObject *window);
    // Waits for the work: whoever owns it must have made it stop first.
    ~BackgroundWork() override;

    void start(Work work);
    bool isRunning() const { return m_thread != nullptr; }
    // Runs call on the window's thread, after what was posted before.
    void post(std::function<void()> call);
    // On the window's thread, after finished(): what the work raised.
    void rethrow();

signals:
    void finished();

private:
    // Boxes asked for by the work open on the window's thread; the work
    // waits for the answer.
    class WindowMessenger : public Messenger
    {
    public:
        WindowMessenger(Messenger &target, QObject *window)
            : m_target(target),
              m_window(window)
        { }
        void error(const QString &text, const QString &caption) override;
        void information(const QString &text, const QString &caption) override;
        void warning(const QString &text, const QString &caption) override;
        void plain(const QString &text, const QString &caption) override;
        bool confirm(const QString &text, const QString &caption) override;

    private:
        void onWindowThread(const std::function<void()> &call);
        Messenger &m_target;
        QObject *m_window;
    };

    void ended();

    QString m_path;
    WindowMessenger m_messenger;
    QThread *m_thread = nullptr;
    std::exception_ptr m_failure;
};
