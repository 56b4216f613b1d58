#include "support/fulldisk.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStorageInfo>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif

FullDisk::FullDisk(qint64 bytes)
{
#ifdef Q_OS_LINUX
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
    m_mounted = m_dir.isValid() &&
        ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) == 0;
#else
    Q_UNUSED(bytes);
#endif
}

FullDisk::~FullDisk()
{
#ifdef Q_OS_LINUX
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
#endif
}

qint64 FullDisk::freeBytes() const
{
    QStorageInfo disk(m_dir.path());
    disk.refresh();
    return disk.bytesAvailable();
}

void FullDisk::fill(qint64 room)
{
    QFile filler(QDir(m_dir.path()).filePath(QStringLiteral(".filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, 'f');
    while (freeBytes() > room) {
        const qint64 want = qMin<qint64>(block.size(), freeBytes() - room);
        if (filler.write(block.constData(), want) <= 0)
            break;
    }
}
