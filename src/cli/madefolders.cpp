#include "cli/madefolders.h"

#include "base/apperror.h"

#include <QDir>
#include <QFileInfo>

void MadeFolders::make(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    QStringList missing;
    for (QString p = clean; !QFileInfo::exists(p); p = QFileInfo(p).path()) {
        missing.prepend(p);
        if (QFileInfo(p).path() == p)
            break;
    }
    for (const QString &p : std::as_const(missing)) {
        if (!QDir().mkdir(p) && !QFileInfo(p).isDir())
            throw AppError(QStringLiteral("Não foi possível criar a pasta %1.").arg(QDir::toNativeSeparators(p)));
        m_made.prepend(p);
    }
    if (!QFileInfo(clean).isDir())
        throw AppError(QStringLiteral("Não foi possível criar a pasta %1: já existe um arquivo com esse nome.")
                           .arg(QDir::toNativeSeparators(clean)));
}

void MadeFolders::undo()
{
    for (const QString &p : std::as_const(m_made))
        QDir().rmdir(p);
    m_made.clear();
}
