// corvane-cli init, run as the staff would run it.
#include "db/database.h"
#include "support/clirun.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Run = CliRun::Result;

Run cli(const QStringList &args, const QString &corvaneHome = QString())
{
    return CliRun::run(
        QStringList{QStringLiteral("init")} + args,
        CliRun::Options().withoutPassword().withEnv(QStringLiteral("CORVANE_HOME"), corvaneHome).within(60000));
}

}

class TestCliInit : public QObject
{
    Q_OBJECT

private slots:
    void createsTheProgramFolder()
    {
        QTemporaryDir tmp;
        const QString home = tmp.filePath(QStringLiteral("Corvane Demo"));
        Run r = cli({QStringLiteral("--home"), home, QStringLiteral("--admin-password"), QStringLiteral("segredo"),
                     QStringLiteral("--demo")});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(r.out.contains(QStringLiteral("Banco de dados criado")));
        QVERIFY(!r.out.contains(QStringLiteral("segredo")));
        QVERIFY(QFile::exists(home + QStringLiteral("/db/bdocc.mdb")));
        QVERIFY(QDir(home + QStringLiteral("/Trabalho")).exists());
        {
            Database db(QStringLiteral("cli-check"));
            db.open(home + QStringLiteral("/db/bdocc.mdb"));
            // "segredo" through (c - 3i + 10) mod 256.
            QCOMPARE(db.scalar(QStringLiteral("SELECT SenhaUsu FROM USU_LOCAL WHERE SiglaUsu = 'admin'")).toString(),
                     QStringLiteral("}lksc_g"));
            QCOMPARE(db.scalar(QStringLiteral("SELECT SiglaCertificador FROM CONFIG_LOCAL")).toString(),
                     QStringLiteral("OCDEMO"));
            QVERIFY(db.scalar(QStringLiteral("SELECT count(*) FROM CERTIFIC")).toInt() > 0);
        }

        // A second run refuses and leaves the database as it was.
        QFile f(home + QStringLiteral("/db/bdocc.mdb"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        r = cli({QStringLiteral("--home"), home, QStringLiteral("--admin-password"), QStringLiteral("outra")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("já existe")), qPrintable(r.err));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void programFolderFromTheEnvironment()
    {
        QTemporaryDir tmp;
        Run r = cli({QStringLiteral("--admin-password=admin")}, tmp.path());
        QVERIFY2(r.code == 0, qPrintable(r.err));
        Database db(QStringLiteral("cli-env"));
        db.open(tmp.filePath(QStringLiteral("db/bdocc.mdb")));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM CONFIG_LOCAL")).toInt(), 0);
        QCOMPARE(db.scalar(QStringLiteral("SELECT SiglaCertificador FROM USU_LOCAL")).toString(), QString());
        QVERIFY(!QDir(tmp.filePath(QStringLiteral("Transferencia"))).exists());
    }

    void refusals()
    {
        QTemporaryDir tmp;
        const QString home = tmp.path();
        Run r = cli({QStringLiteral("--home"), home});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(QStringLiteral("--admin-password")));
        r = cli({QStringLiteral("--home"), home, QStringLiteral("--admin-password"), QStringLiteral("x"),
                 QStringLiteral("--demais")});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(QStringLiteral("--demais")));
        r = cli({QStringLiteral("--home"), home, QStringLiteral("--admin-password")});
        QCOMPARE(r.code, 2);
        r = cli({QStringLiteral("--home"), home, QStringLiteral("--admin-password"), QStringLiteral("12345678901")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("no máximo 10 caracteres")), qPrintable(r.err));
        r = cli({QStringLiteral("--home"), home, QStringLiteral("--admin-password"), QStringLiteral("  ")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("em branco")), qPrintable(r.err));
        // An option where a value is due, and an empty folder, are wrong usage.
        r = cli({QStringLiteral("--home"), home, QStringLiteral("--admin-password"), QStringLiteral("--demo")});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(QStringLiteral("--admin-password")), qPrintable(r.err));
        r = cli({QStringLiteral("--home"), QString(), QStringLiteral("--admin-password"), QStringLiteral("x")}, home);
        QCOMPARE(r.code, 2);
        QVERIFY(!QFile::exists(home + QStringLiteral("/db/bdocc.mdb")));
        QVERIFY(QDir(home).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }

    // A folder that cannot be made stops the run before any database
    // exists, and the folders this run made go with it.
    void foldersComeFirst()
    {
        QTemporaryDir tmp;
        const QString home = tmp.filePath(QStringLiteral("nova"));
        QVERIFY(QDir().mkpath(home));
        QFile blocker(home + QStringLiteral("/Trabalho"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Run r = cli({QStringLiteral("--home"), home, QStringLiteral("--admin-password"), QStringLiteral("admin")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("Trabalho")), qPrintable(r.err));
        QVERIFY(!QFile::exists(home + QStringLiteral("/db/bdocc.mdb")));
        QVERIFY(!QFileInfo::exists(home + QStringLiteral("/db")));

        QVERIFY(QFile::remove(home + QStringLiteral("/Trabalho")));
        r = cli({QStringLiteral("--home"), home, QStringLiteral("--admin-password"), QStringLiteral("admin")});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(QDir(home + QStringLiteral("/Trabalho")).exists());
    }

    // Two runs at once on one folder: exactly one makes the database, and
    // the other never deletes it.
    void concurrentRunsLeaveOneDatabase()
    {
        for (int pair = 0; pair < 20; ++pair) {
            QTemporaryDir tmp;
            const QString home = tmp.filePath(QStringLiteral("casa"));
            const QStringList args{
                QStringLiteral("init"),  QStringLiteral("--home"), home, QStringLiteral("--admin-password"),
                QStringLiteral("admin"), QStringLiteral("--demo")};
            const CliRun::Options options = CliRun::Options().withoutPassword().within(60000);
            CliRun::Started a(args, options), b(args, options);
            const CliRun::Result ra = a.finish(), rb = b.finish();
            QVERIFY(ra.code != -1 && rb.code != -1);
            const QList<int> codes{ra.code, rb.code};
            const QStringList errs{ra.err, rb.err};
            QVERIFY2(
                codes.count(0) == 1 && codes.count(1) == 1,
                qPrintable(
                    QStringLiteral("par %1: %2 %3\n%4").arg(pair).arg(codes[0]).arg(codes[1]).arg(errs.join('\n'))));
            const QString loser = errs.at(codes[0] == 1 ? 0 : 1);
            QVERIFY2(loser.contains(QStringLiteral("já existe")), qPrintable(loser));
            QVERIFY(QDir(home + QStringLiteral("/Trabalho")).exists());
            Database db(QStringLiteral("par"));
            db.open(home + QStringLiteral("/db/bdocc.mdb"));
            QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM USU_LOCAL")).toInt(), 1);
            QVERIFY(db.scalar(QStringLiteral("SELECT count(*) FROM CERTIFIC")).toInt() > 0);
            QCOMPARE(QDir(home + QStringLiteral("/db")).entryList(QDir::Files),
                     QStringList{QStringLiteral("bdocc.mdb")});
        }
    }
};

QTEST_GUILESS_MAIN(TestCliInit)
#include "test_cliinit.moc"
