// The migration of a large register to a server and back: the program
// folder's file into an empty server database (bulk copy, then every table's
// count and digest on both sides), then the server's register into a new
// file, whose sums must equal the first file's table by table. Prints rows/s
// of each direction, the share of each spent on the proof, and whether the
// round trip matched (exit code 1 when not). Usage:
// BENCH_SERVER=postgresql://USER@HOST:PORT/postgres bench_migrar [certificates]
// (default 100000, about a million rows). The server's user must be allowed
// to create databases: the run makes one of its own there and drops it.

#include "base/apperror.h"
#include "base/apppaths.h"
#include "base/localzonepin.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/provisioning.h"
#include "db/registercopy.h"
#include "db/serveraddress.h"
#include "largeregister.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

qint64 rowsOf(const QList<RegisterTables::Sum> &sums)
{
    qint64 n = 0;
    for (const RegisterTables::Sum &s : sums)
        n += s.rows;
    return n;
}

}

int main(int argc, char *argv[])
{
    LocalZonePin::pin();
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int certificates = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    const QString serverText = qEnvironmentVariable("BENCH_SERVER");
    if (serverText.isEmpty()) {
        out << "BENCH_SERVER=postgresql://USUARIO@SERVIDOR:PORTA/postgres is required\n";
        return 2;
    }
    const ServerAddress maintenance = ServerAddress::parse(serverText);
    ServerAddress target = maintenance;
    target.name = QStringLiteral("corvane_bench_%1").arg(QCoreApplication::applicationPid());

    QTemporaryDir home;
    AppPaths::setProgramDir(home.path());
    QDir().mkpath(home.filePath(QStringLiteral("db")));
    const QString dbPath = home.filePath(QStringLiteral("db/bdocc.mdb"));
    Provisioning::Options o;
    o.adminPassword = QStringLiteral("admin");
    Provisioning::createDatabase(dbPath, o);
    Database file(QStringLiteral("arquivo"));
    file.open(dbPath);
    QElapsedTimer timer;
    timer.start();
    LargeRegister::populate(file, certificates);
    out << "certificates " << certificates << " (register made in " << timer.elapsed() / 1000.0 << " s)\n";

    Database admin(QStringLiteral("admin"));
    admin.connectServer(maintenance);
    admin.execute(QStringLiteral("CREATE DATABASE \"%1\"").arg(target.name));
    int code = 0;
    try {
        timer.restart();
        const QList<RegisterTables::Sum> original = RegisterCopy::sums(file);
        const double proofFile = timer.elapsed() / 1000.0;
        const qint64 rows = rowsOf(original);
        out << "rows in all tables " << rows << "; sums of the file alone " << proofFile << " s\n";
        out.flush();

        timer.restart();
        RegisterCopy::toServer(file, target);
        const double up = timer.elapsed() / 1000.0;
        out << "file -> server  " << up << " s = " << qint64(rows / up) << " rows/s (copy and proof)\n";
        out.flush();

        Database server(QStringLiteral("servidor"));
        server.openServer(target);
        timer.restart();
        RegisterCopy::sums(server);
        out << "  sums of the server alone " << timer.elapsed() / 1000.0 << " s\n";

        const QString back = home.filePath(QStringLiteral("volta.mdb"));
        timer.restart();
        RegisterCopy::toFile(server, back);
        const double down = timer.elapsed() / 1000.0;
        out << "server -> file  " << down << " s = " << qint64(rows / down) << " rows/s (copy and proof)\n";
        server.close();

        Database again(QStringLiteral("volta"));
        again.open(back);
        try {
            RegisterCopy::compare(original, RegisterCopy::sums(again));
            out << "round trip file -> server -> file: " << original.size() << " tables, equal counts and sums\n";
        } catch (const AppError &e) {
            out << "round trip DIFFERS: " << e.message() << "\n";
            code = 1;
        }
    } catch (const AppError &e) {
        out << "failed: " << e.message() << "\n";
        code = 1;
    } catch (const DbError &e) {
        out << "failed: " << e.userMessage() << "\n";
        code = 1;
    }
    admin.execute(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(target.name));
    return code;
}
