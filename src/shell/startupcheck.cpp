#include "shell/startupcheck.h"

#include "base/apppaths.h"
#include "base/messenger.h"
#include "db/registerlocation.h"
#include "shell/appversion.h"
#include "shell/programdatabase.h"

#include <QDir>
#include <QFileInfo>

namespace StartupCheck {

qint64 databaseSize()
{
    const QFileInfo fi(AppPaths::dbFile());
    return fi.isFile() ? fi.size() : -1;
}

QString databaseStatusText(qint64 size)
{
    // Integer division truncates towards zero: a missing file (-1) shows 0.
    return QStringLiteral("Módulo do Certificador - ") + AppVersion::text() + QStringLiteral(" | BD: ") +
        QString::number(size / 1024) + QStringLiteral(" KB");
}

QString registerStatusText()
{
    const QString where = RegisterLocation::describe();
    if (where.startsWith(QLatin1String("servidor ")))
        return QStringLiteral("Módulo do Certificador - ") + AppVersion::text() + QStringLiteral(" | BD: ") + where;
    return databaseStatusText(databaseSize());
}

void run(ProgramDatabase &dm, Messenger &messenger)
{
    const QString work = AppPaths::workDir();
    if (!QFileInfo(work).isDir()) {
        QDir().mkpath(work);
        if (!QFileInfo(work).isDir())
            messenger.error(StartupTexts::FolderError);
    }
    if (dm.refreshCertifierCode().isEmpty())
        messenger.information(StartupTexts::ConfigIncomplete);
}

}
