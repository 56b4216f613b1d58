#pragma once
#include <QString>
#include <QTemporaryDir>

// A small in-memory disk of its own, mounted for one test (it needs the
// right to mount; without it isMounted() is false and the case skips).
class FullDisk
{
public:
    explicit FullDisk(qint64 bytes = 1024 * 1024);
    ~FullDisk();
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    // Fills the disk with a hidden filler until at most room bytes are free.
    void fill(qint64 room = 0);
    qint64 freeBytes() const;

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

#define REQUIRE_MOUNTED(disk)                                                                                          \
    do {                                                                                                               \
        if (!(disk).isMounted())                                                                                       \
            QSKIP("a small disk could not be mounted here (mounting needs the administrator)");                        \
    } while (false)
