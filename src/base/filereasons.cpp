#include "base/filereasons.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace FileReasons {

namespace {
// Less room than this after a failed write: the write failed for want of it.
constexpr qint64 NearlyFull = 256 * 1024;

QString fallback(const QString &systemText)
{
    return systemText.isEmpty() ? QStringLiteral("o sistema operacional recusou o acesso")
                                : QStringLiteral("o sistema operacional respondeu: ") + systemText;
}
}

QString unreadable(const QString &path, const QString &systemText)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("o arquivo não foi encontrado");
    if (info.isDir())
        return QStringLiteral("o nome é de uma pasta, não de um arquivo");
    if (!info.isReadable())
        return QStringLiteral("não há permissão para ler o arquivo");
    return fallback(systemText);
}

QString unwritable(const QString &path, const QString &systemText)
{
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists())
        return QStringLiteral("a pasta %1 não existe").arg(QDir::toNativeSeparators(folder.filePath()));
    if (info.isDir())
        return QStringLiteral("o nome é de uma pasta, não de um arquivo");
    if (info.exists() && !info.isWritable())
        return QStringLiteral("o arquivo é somente leitura ou não há permissão para gravá-lo");
    if (!info.exists() && !folder.isWritable())
        return QStringLiteral("a pasta %1 é somente leitura ou não há permissão para gravar nela")
            .arg(QDir::toNativeSeparators(folder.filePath()));
    return fallback(systemText);
}

bool isDiskFull(const QString &path)
{
    QFileInfo info(path);
    // The nearest folder that exists tells which disk the path is on.
    QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    while (!QFileInfo(folder).isDir() && QFileInfo(folder).absolutePath() != folder)
        folder = QFileInfo(folder).absolutePath();
    const QStorageInfo disk(folder);
    return disk.isValid() && disk.isReady() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < NearlyFull;
}

QString writeFailed(const QString &path, const QString &systemText)
{
    if (isDiskFull(path)) {
        const QFileInfo info(path);
        return QStringLiteral("não há espaço livre no disco da pasta %1")
            .arg(QDir::toNativeSeparators(info.isDir() ? info.absoluteFilePath() : info.absolutePath()));
    }
    return unwritable(path, systemText);
}

}
