// corvane-cli init, run as the staff would run it.
#include "db/database.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int code = -1;
    QString out, err;
};

Run cli(const QStringList &args, const QString &corvaneHome = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("CORVANE_HOME"));
    if (!corvaneHome.isEmpty())
        env.insert(QStringLiteral("CORVANE_HOME"), corvaneHome);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(CORVANE_CLI_PATH), QStringList{QStringLiteral("init")} + args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
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
            QCOMPARE(db.scalar(QStringLiteral("SELECT SiglaCertificador FROM CONFIG_LOCAL")).toString(), QStringLiteral("OCDEMO"));
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
        r = cli({QStringLiteral("--home"), home, QStringLiteral("--admin-password"), QStringLiteral("x"), QStringLiteral("--demais")});
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
        QVERIFY(!QFile::exists(home + QStringLiteral("/db/bdocc.mdb")));
    }
};

QTEST_GUILESS_MAIN(TestCliInit)
#include "test_cliinit.moc"
