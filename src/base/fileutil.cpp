#include "base/fileutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace FileUtil {

void deleteByMask(const QString &folder, const QString &mask)
{
    const QDir dir(folder);
    const QStringList names = dir.entryList({mask}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        QFile::remove(dir.absoluteFilePath(name));
}

qint64 fileSize(const QString &name)
{
    const QFileInfo fi(name);
    return fi.isFile() ? fi.size() : -1;
}

qint64 dbFileSize(const QString &name)
{
    return fileSize(name);
}

QString dateStamp(const QDate &day)
{
    return day.toString(QStringLiteral("yyyyMMdd"));
}

int verticalCentre(int windowHeight, int screenHeight)
{
    // Halves round to even, as the old arithmetic did.
    return static_cast<int>(std::nearbyint((screenHeight - windowHeight) / 2.0));
}

QString transferRate(qint64 bytes, const QTime &start, const QTime &end)
{
    auto seconds = [](const QTime &t) {
        return t.hour() * 3600.0 + t.minute() * 60.0 + t.second() + t.msec() / 1000.0;
    };
    double elapsed = seconds(end) - seconds(start);
    if (elapsed < 0)
        elapsed += 86400.0;
    if (elapsed == 0.0)
        return QStringLiteral("0");
    return QString::asprintf("%5.2f", static_cast<double>(bytes) / elapsed);
}

}
