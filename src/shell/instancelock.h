#pragma once
#include <QLockFile>
#include <QString>
#include <memory>

// One program per program folder. The lock is a file in the folder that
// holds the owner's process id, so a lock left by a program that was killed
// is recognised as stale and taken over by the next start.
class InstanceLock
{
public:
    explicit InstanceLock(const QString &programDir);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    enum class Outcome { Acquired, HeldByAnother, Unavailable };
    // Unavailable: the folder cannot hold a lock (missing and cannot be made,
    // read-only). The program then starts unguarded and its own checks tell
    // what is wrong with the folder.
    Outcome acquire();
    bool isHeld() const;
    QString lockPath() const { return m_path; }
    // Process id of the program holding the folder (0 when unknown).
    qint64 ownerPid() const;

    // Told when another program already has the folder.
    static QString heldMessage(const QString &programDir);

private:
    QString m_dir;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
