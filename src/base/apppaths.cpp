#include "base/apppaths.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString &overrideDir()
{
    static QString dir;
    return dir;
}
}

namespace AppPaths {

QString programDir()
{
    QString dir = overrideDir();
    if (dir.isEmpty())
        dir = qEnvironmentVariable("CORVANE_HOME");
    if (dir.isEmpty()) {
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        if (dir.isEmpty())
            dir = QDir::homePath() + QStringLiteral("/.local/share");
        dir += QStringLiteral("/corvane");
    }
    return QDir::cleanPath(QDir(dir).absolutePath());
}

void setProgramDir(const QString &dir)
{
    overrideDir() = dir;
}

QString dbDir()
{
    return programDir() + QStringLiteral("/db/");
}
QString dbFile()
{
    return dbDir() + QStringLiteral("bdocc.mdb");
}
QString workDir()
{
    return programDir() + QStringLiteral("/Trabalho/");
}

QString resolve(const QString &path)
{
    const QString p = QDir::fromNativeSeparators(path);
    if (p.isEmpty() || !QDir::isRelativePath(p))
        return path;
    return QDir::cleanPath(programDir() + QLatin1Char('/') + p);
}

// The GUI and the batch tool share one daily error log.
QString programName()
{
    return QStringLiteral("corvane");
}

}
