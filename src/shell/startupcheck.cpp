#include "shell/startupcheck.h"

#include "base/apperror.h"
#include "base/apppaths.h"
#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
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

qint64 serverDatabaseSize(const ServerAddress &server)
{
    try {
        Database probe(QStringLiteral("CapaCertific_Tamanho"));
        probe.connectServer(server);
        return probe.scalar(QStringLiteral("SELECT pg_database_size(current_database())")).toLongLong();
    } catch (const DbError &) {
        return -1;
    }
}

QString registerStatusText()
{
    std::optional<ServerAddress> server;
    try {
        server = RegisterLocation::server();
    } catch (const AppError &) {
        // An unreadable connection file is told when the start opens the register.
    }
    if (!server)
        return databaseStatusText(databaseSize());
    // The size the server gives its database, as a file's size is shown.
    return QStringLiteral("Módulo do Certificador - ") + AppVersion::text() + QStringLiteral(" | BD: servidor ") +
        server->shortText() + QStringLiteral(" - ") + QString::number(serverDatabaseSize(*server) / 1024) +
        QStringLiteral(" KB");
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
