#include "shell/instancelock.h"

#include <QDir>

InstanceLock::InstanceLock(const QString &programDir)
    : m_dir(programDir),
      m_path(QDir(programDir).filePath(QStringLiteral("corvane.lock")))
{ }

InstanceLock::~InstanceLock() = default;

InstanceLock::Outcome InstanceLock::acquire()
{
    if (isHeld())
        return Outcome::Acquired;
    if (!QDir().mkpath(m_dir))
        return Outcome::Unavailable;
    m_lock = std::make_unique<QLockFile>(m_path);
    // Staleness by age would let a second program in beside a first one that
    // has simply been open for long; a dead owner is what makes a lock stale.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return Outcome::Acquired;
    const QLockFile::LockError error = m_lock->error();
    m_lock.reset();
    return error == QLockFile::LockFailedError ? Outcome::HeldByAnother : Outcome::Unavailable;
}

bool InstanceLock::isHeld() const
{
    return m_lock && m_lock->isLocked();
}

qint64 InstanceLock::ownerPid() const
{
    QLockFile probe(m_path);
    qint64 pid = 0;
    QString host, app;
    if (!probe.getLockInfo(&pid, &host, &app))
        return 0;
    return pid;
}

QString InstanceLock::heldMessage(const QString &programDir)
{
    return QStringLiteral("O Corvane já está aberto nesta pasta de programa (%1).\n"
                          "Use a janela que já está aberta; não é possível abrir dois programas na mesma pasta.")
        .arg(QDir::toNativeSeparators(programDir));
}
