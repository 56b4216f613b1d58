#include "base/filereasons.h"

#include <QDir>
#include <QFileInfo>

namespace FileReasons {

namespace {
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

}
