#include "support/testdb.h"

#include "db/database.h"
#include "db/schema.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

namespace TestDb {

namespace {

const QString Script = QStringLiteral(CORVANE_TEST_DIR "/support/pgcluster.sh");

QString shellQuoted(const QString &s)
{
    QString q = s;
    q.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

// A server started by this process, stopped when it ends.
struct OwnServer
{
    QString dir;
    ServerAddress address;
    OwnServer()
    {
        dir = QDir::tempPath() + QStringLiteral("/corvane-pg-%1").arg(QCoreApplication::applicationPid());
        const QString cmd = shellQuoted(Script) + QStringLiteral(" start ") + shellQuoted(dir);
        if (std::system(cmd.toLocal8Bit().constData()) != 0)
            qFatal("the test server could not be started (%s)", qPrintable(cmd));
        address = readAddress(dir);
    }
    ~OwnServer()
    {
        const QString cmd = shellQuoted(Script) + QStringLiteral(" stop ") + shellQuoted(dir);
        [[maybe_unused]] const int rc = std::system(cmd.toLocal8Bit().constData());
    }
    static ServerAddress readAddress(const QString &dir)
    {
        QFile f(dir + QStringLiteral("/address"));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return ServerAddress::parse(QString::fromUtf8(f.readAll()).trimmed());
    }
};

}

DbEngine engine()
{
    return qEnvironmentVariable("CORVANE_TEST_ENGINE") == QLatin1String("postgresql") ? DbEngine::Postgres
                                                                                      : DbEngine::Sqlite;
}

bool onServer()
{
    return engine() == DbEngine::Postgres;
}

QString name()
{
    return onServer() ? QStringLiteral("postgresql") : QStringLiteral("sqlite");
}

ServerAddress server()
{
    static const ServerAddress shared = [] {
        const QString dir = qEnvironmentVariable("CORVANE_TEST_PG_DIR");
        return dir.isEmpty() ? ServerAddress() : OwnServer::readAddress(dir);
    }();
    if (!shared.host.isEmpty())
        return shared;
    static OwnServer own;
    return own.address;
}

ServerAddress freshDatabase()
{
    static QAtomicInt serial;
    ServerAddress maintenance = server();
    ServerAddress fresh = maintenance;
    fresh.name = QStringLiteral("t%1_%2").arg(QCoreApplication::applicationPid()).arg(serial.fetchAndAddRelaxed(1) + 1);
    Database admin(QStringLiteral("testengine-admin"));
    admin.connectServer(maintenance);
    // A cluster kept between runs may hold one of an earlier process that
    // had the same number: that process is gone.
    admin.execute(QStringLiteral("DROP DATABASE IF EXISTS \"%1\"").arg(fresh.name));
    admin.execute(QStringLiteral("CREATE DATABASE \"%1\"").arg(fresh.name));
    return fresh;
}

void createEmpty(Database &db, const QString &dir, const QString &name)
{
    if (onServer()) {
        db.connectServer(freshDatabase());
        for (const QString &sql : Schema::serverPrelude())
            db.execute(sql);
        return;
    }
    const QString path = QDir(dir).filePath(name + QStringLiteral(".db"));
    QFile::remove(path);
    db.create(path);
}

}
