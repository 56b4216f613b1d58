// corvane-cli reparar, alone and while corvane-cli import writes.
#include "db/dberror.h"
#include "shell/serverrepair.h"
#include "support/clirun.h"
#include "support/importrunfixture.h"
#include "support/testdb.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

using B = ImportFileBuilder;

namespace {

using Result = CliRun::Result;

const CliRun::Options Patient = CliRun::Options().within(300000);

Result cli(const QStringList &args)
{
    return CliRun::run(args, Patient);
}

}

class TestRepararCli : public QObject
{
    Q_OBJECT

private slots:
    void repairsWithTheWindowsMessages()
    {
        ImportRunFixture f;
        const QString home = f.home->dir();
        Result r = cli({"reparar", "--home", home, "--user", "admin"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(r.out.contains("Compactando Banco de Dados, aguarde..."));
        QVERIFY(r.out.contains("Banco de dados reparado com sucesso!"));
        // A server keeps no files of the program folder: it is compacted and its keys checked.
        QCOMPARE(QFile::exists(home + "/db/bdoccBKP.mdb"), !TestDb::onServer());
        QCOMPARE(r.out.contains("Verificando as chaves das tabelas"), TestDb::onServer());
        QVERIFY(!QFile::exists(home + "/db/bdoccTMP.mdb"));
        QCOMPARE(f.count("USU_LOCAL"), 2);

        QCOMPARE(cli({"reparar", "--home", home, "--user", "admin", "a-mais"}).code, 2);
        QCOMPARE(cli({"reparar", "--home", home}).code, 2);
        f.db->execute(QStringLiteral("update USU_LOCAL set SenhaUsu = (select SenhaUsu from USU_LOCAL "
                                     "where SiglaUsu = 'admin') where SiglaUsu = 'imp'"));
        QFile::remove(home + "/db/bdoccBKP.mdb");
        r = cli({"reparar", "--home", home, "--user", "imp"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("Acesso negado: o usuário imp não tem permissão"), qPrintable(r.err));
        QVERIFY(!QFile::exists(home + "/db/bdoccBKP.mdb"));
    }

    // Repairs started over and over while an import writes three files:
    // each one waits or refuses, and every imported row ends in bdocc.mdb.
    // A repair holds the file longer than the import waits only on a
    // machine under heavy load: the import then stops saying the database
    // is busy, and the files it did not finish are not there at all.
    void repairDuringImportLosesNothing()
    {
        ImportRunFixture f;
        const QString home = f.home->dir();
        const int perFile = 400;
        for (int n = 1; n <= 3; ++n) {
            B file(ImportRunFixture::Sigla);
            for (int c = 1; c <= perFile; ++c)
                file.completeCertificate(QStringLiteral("R%1-%2").arg(n).arg(c));
            f.write(n, file);
        }
        f.db->close();

        CliRun::Started import({"import", "--home", home, "--user", "admin", f.dir()}, Patient);
        QVERIFY(import.process().waitForStarted());
        int repaired = 0, refused = 0;
        while (import.process().state() != QProcess::NotRunning) {
            const Result r = cli({"reparar", "--home", home, "--user", "admin"});
            if (r.code == 0) {
                ++repaired;
            } else {
                QCOMPARE(r.code, 1);
                QVERIFY2(r.err.contains(DbErrors::BusyMessage) || r.out.contains(DbErrors::BusyMessage),
                         qPrintable(r.out + r.err));
                ++refused;
            }
            import.process().waitForFinished(50);
        }
        const Result done = import.finish();
        const QString told = done.out + done.err;
        // A lock that one of a file's statements meets past the wait is
        // still written to that file's database log as its error, and the
        // file is kept out, whole; the run then goes on. To be told as the
        // busy database instead.
        QString lockedInLog;
        for (const QFileInfo &e : QDir(f.dir()).entryInfoList({QStringLiteral("ERROBD*")}, QDir::Files)) {
            QFile log(e.filePath());
            if (log.open(QIODevice::ReadOnly) && log.readAll().contains("database is locked"))
                lockedInLog = e.fileName();
        }
        QVERIFY2(done.code == 0 || (done.code == 1 && (told.contains(DbErrors::BusyMessage) || !lockedInLog.isEmpty())),
                 qPrintable(QStringLiteral("%1 %2 %3\n").arg(done.code).arg(repaired).arg(refused) + told));
        QVERIFY(repaired + refused > 0);
        qInfo("reparos concluídos: %d, recusados: %d", repaired, refused);

        f.home->open(*f.db);
        const int imported = f.count("CONTROLE_TXT");
        QCOMPARE(imported == 3, done.code == 0);
        QCOMPARE(f.count("CERTIFIC"), imported * perFile);
        QCOMPARE(f.count("LOTE"), imported * perFile);
        if (TestDb::onServer()) {
            QCOMPARE(ServerRepair::keyProblems(*f.db), QStringList());
        } else {
            const QVariant check = f.db->scalar(QStringLiteral("PRAGMA integrity_check"));
            QCOMPARE(check.toString(), QStringLiteral("ok"));
        }
    }
};

QTEST_GUILESS_MAIN(TestRepararCli)
#include "test_reparar_cli.moc"
