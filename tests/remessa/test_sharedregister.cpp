// Two workstations on one server register: one imports a TXT folder while
// the other approves and prepares a complete remittance. Every row is there
// once, no SeqEvento is handed out twice, and the package holds what the same
// steps, in the order the server took them, give on the embedded file (the
// moments of writing aside).
#include "support/clirun.h"
#include "support/pxlibreader.h"
#include "support/scriptedmessenger.h"
#include "support/testdb.h"
#include "support/testhome.h"
#include "support/wholecertificates.h"

#include "base/apppaths.h"
#include "base/archive.h"
#include "db/database.h"
#include "db/registerlocation.h"
#include "register/statusevents.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Sigla = QStringLiteral("OCDEMO"); // the demo register's certifier
constexpr int FirstFile = 200; // records of the file imported beforehand
constexpr int SecondFile = 5000; // records of the file imported meanwhile
constexpr int SecondFrom = 1000; // its first certificate number

QString write(const QString &dir, int records, int first, const QString &tail)
{
    return WholeCertificates::writeFile(dir, records, first, tail, Sigla);
}

// The package a preparation printed, unpacked into dir, each table as
// sorted text lines with its moments and its program folder (the register's
// configured folders) blanked.
QMap<QString, QStringList> unpacked(const CliRun::Result &prepared, const QString &dir, const QString &home)
{
    QMap<QString, QStringList> tables;
    const QString package = prepared.out.trimmed().section(QLatin1Char('\n'), -1);
    ScriptedMessenger quiet;
    if (!package.endsWith(QLatin1String(".zip")) || !Archive::unzip(package, dir, quiet))
        return tables;
    tables.insert(QStringLiteral("#name"), {QFileInfo(package).fileName()});
    for (const QString &name : QDir(dir).entryList(QDir::Files)) {
        const PxlibTable t = readWithPxlib(dir + QLatin1Char('/') + name);
        QStringList rows;
        for (const QVariantList &row : t.rows) {
            QStringList cells;
            for (int i = 0; i < row.size(); ++i)
                cells << (t.fields.at(i).type == pxfTimestamp
                              ? QStringLiteral("<momento>")
                              : row.at(i).toString().replace(home, QStringLiteral("<pasta>")));
            rows << cells.join(QLatin1Char('|'));
        }
        rows.sort();
        tables.insert(name, rows);
    }
    return tables;
}

}

class TestSharedRegister : public QObject
{
    Q_OBJECT

private slots:
    void importWhileAnotherApprovesAndPrepares()
    {
        if (!TestDb::onServer())
            QSKIP("only a server register is shared by workstations");
        const QDate today = QDate::currentDate();
        const CliRun::Options cli = CliRun::Options().within(240000);
        auto result = [&](const QString &home, const QStringList &args) {
            const CliRun::Result r = CliRun::run(args + CliRun::signedIn(home), cli);
            if (r.code != 0)
                qWarning("%s: %s%s", qPrintable(args.join(' ')), qPrintable(r.out), qPrintable(r.err));
            return r;
        };
        auto run = [&](const QString &home, const QStringList &args) { return result(home, args).code; };

        // Two program folders pointing at one server register, the demo's.
        TestHome a(true);
        QTemporaryDir b;
        Database db;
        a.open(db);
        AppPaths::setProgramDir(b.path());
        RegisterLocation::writeServer(db.server());
        AppPaths::setProgramDir(a.dir());

        QTemporaryDir files;
        const QString first = files.path() + QStringLiteral("/primeiro");
        const QString second = files.path() + QStringLiteral("/segundo");
        write(first, FirstFile, 1, QStringLiteral("2026120801"));
        write(second, SecondFile, SecondFrom, QStringLiteral("2026120802"));
        // Imported certificates count as approved; made candidates again so
        // that there is much to approve while the second file goes in.
        const QString candidatesAgain = QStringLiteral("UPDATE CERTIFIC SET Aprovado = 0 WHERE NumCertif LIKE 'B-%'");
        QCOMPARE(run(a.dir(), {"import", first}), 0);
        db.execute(candidatesAgain);

        CliRun::Started importing(QStringList{"import", second} + CliRun::signedIn(a.dir()), cli);
        QCOMPARE(run(b.path(), {"aprovar", "--completos"}), 0);
        const CliRun::Result preparedOnServer = result(b.path(), {"remessa", "preparar", "--completa"});
        QCOMPARE(preparedOnServer.code, 0);
        const CliRun::Result imported = importing.finish();
        QVERIFY2(imported.code == 0, qPrintable(imported.out + imported.err));

        // Every row once, numbering without repeats.
        const int certificates = 5 + db.scalar("SELECT count(*) FROM CERTIFIC WHERE NumCertif LIKE 'B-%'").toInt();
        QCOMPARE(db.scalar("SELECT count(*) FROM CERTIFIC").toInt(), certificates);
        QCOMPARE(db.scalar("SELECT count(DISTINCT NumCertif) FROM CERTIFIC").toInt(), certificates);
        for (const StatusEvents::Table t : StatusEvents::allTables()) {
            const QString table = StatusEvents::tableName(t);
            const QString sql = QStringLiteral("SELECT count(*) - count(DISTINCT SeqEvento) FROM %1");
            QVERIFY2(db.scalar(sql.arg(table)).toInt() == 0, qPrintable(table));
        }
        const int approvals = db.scalar("SELECT count(*) FROM STATUS_C WHERE Evento = 'APR'").toInt();
        QVERIFY(approvals >= 2 + FirstFile / 11);
        // Which went first: the approval's events, or the second file's?
        const int lastApproval = db.scalar("SELECT max(SeqEvento) FROM STATUS_C WHERE Evento = 'APR'").toInt();
        const int firstOfSecond = db.scalar("SELECT min(SeqEvento) FROM STATUS_C WHERE Evento = 'INC' AND "
                                            "NumCertif LIKE 'B-1%' AND length(NumCertif) >= 6")
                                      .toInt();
        const bool approvalFirst = lastApproval < firstOfSecond;
        qInfo("%s", approvalFirst ? "a aprovação numerou antes da importação" : "a importação numerou antes");

        // The same steps, in that order, on a file register.
        QTemporaryDir c;
        const QString fileFirst = files.path() + QStringLiteral("/arquivo1");
        const QString fileSecond = files.path() + QStringLiteral("/arquivo2");
        write(fileFirst, FirstFile, 1, QStringLiteral("2026120801"));
        write(fileSecond, SecondFile, SecondFrom, QStringLiteral("2026120802"));
        QCOMPARE(CliRun::run({"init", "--home", c.path(), "--admin-password", "admin", "--demo"}, cli).code, 0);
        QCOMPARE(run(c.path(), {"import", fileFirst}), 0);
        {
            Database file(QStringLiteral("file"));
            file.open(c.path() + QStringLiteral("/db/bdocc.mdb"));
            file.execute(candidatesAgain);
        }
        if (!approvalFirst)
            QCOMPARE(run(c.path(), {"import", fileSecond}), 0);
        QCOMPARE(run(c.path(), {"aprovar", "--completos"}), 0);
        const CliRun::Result preparedOnFile = result(c.path(), {"remessa", "preparar", "--completa"});
        QCOMPARE(preparedOnFile.code, 0);
        if (approvalFirst)
            QCOMPARE(run(c.path(), {"import", fileSecond}), 0);
        QCOMPARE(today, QDate::currentDate()); // both registers dated alike

        QTemporaryDir fromServer, fromFile;
        const auto server = unpacked(preparedOnServer, fromServer.path(), a.dir());
        const auto file = unpacked(preparedOnFile, fromFile.path(), c.path());
        QVERIFY(server.size() > 10);
        QCOMPARE(server.keys(), file.keys());
        QStringList differing;
        for (auto it = server.begin(); it != server.end(); ++it)
            if (it.value() != file.value(it.key()))
                differing << it.key();
        QCOMPARE(differing, QStringList());
        QVERIFY(server.value(QStringLiteral("Status_C_I.DB")).size() >= approvals);
    }
};

QTEST_GUILESS_MAIN(TestSharedRegister)
#include "test_sharedregister.moc"
