#pragma once
// Shared by the fuzzing harnesses: a silent messenger and one scratch folder
// per process, so that file-reading code is fed through real files.
#include "base/messenger.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class SilentMessenger : public Messenger
{
public:
    void error(const QString &, const QString &) override { }
    void information(const QString &, const QString &) override { }
    void warning(const QString &, const QString &) override { }
    void plain(const QString &, const QString &) override { }
    bool confirm(const QString &, const QString &) override { return false; }
};

inline QTemporaryDir &scratch()
{
    static QTemporaryDir dir;
    return dir;
}

// Writes the input to a file of the scratch folder and returns its path.
inline QString inputFile(const uint8_t *data, size_t size, const QString &name)
{
    const QString path = scratch().filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}
