#include "support/importrunfixture.h"

#include <QProcess>
#include <QtTest>

using B = ImportFileBuilder;

class TestImportCli : public QObject
{
    Q_OBJECT

    struct Result
    {
        int code = -1;
        QString out, err;
    };

    static Result cli(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(CORVANE_CLI_PATH), QStringList{"import"} + args);
        if (!p.waitForFinished(60000))
            return {};
        return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
                QString::fromLocal8Bit(p.readAllStandardError())};
    }

private slots:
    void exitCodeTellsHowTheFilesWent()
    {
        ImportRunFixture f;
        const QString good = f.write(1, B(ImportRunFixture::Sigla).completeCertificate("C-1"));
        const QStringList args{"--home", f.home->dir(), "--user", "imp", f.dir()};

        Result r = cli(args);
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("Importação dos dados do arquivo " + good + " concluída com sucesso"), qPrintable(r.out + r.err));
        QCOMPARE(f.count("CERTIFIC", "Aprovado = 1"), 1);
        QCOMPARE(QDir(f.dir()).entryList(QDir::Files), QStringList{good});

        r = cli(args); // already imported: skipped
        QCOMPARE(r.code, 3);
        QVERIFY(r.err.contains("Existe registro de importação para " + good));

        B bad(ImportRunFixture::Sigla);
        bad.record("[CERTIFIC]", B::certific("B-1", "Z"));
        const QString failed = f.write(2, bad);
        r = cli(args);
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("Ocorreu erro na importação dos dados do arquivo " + failed));
        QVERIFY(r.out.contains("a rotina gerou o(s) arquivo(s) " + f.base(failed)));
        QVERIFY(f.read("ERRO" + f.base(failed) + ".txt").contains("O valor Z não é uma situação válida"));
        QVERIFY(!f.exists("Log.txt") && !f.exists("Log_BD.txt"));
        QCOMPARE(f.count("CERTIFIC"), 1);
    }

    void refusesBadArguments()
    {
        ImportRunFixture f;
        QCOMPARE(cli({"--home", f.home->dir(), f.dir()}).code, 2);
        Result r = cli({"--home", f.home->dir(), "--user", "ninguem", f.dir()});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains("ninguem"));
        QCOMPARE(cli({"--home", f.home->dir(), "--user", "imp", f.path("nao-existe")}).code, 2);
        QCOMPARE(cli({"--home", f.dir(), "--user", "imp", f.dir()}).code, 2); // no database there
    }
};

QTEST_GUILESS_MAIN(TestImportCli)
#include "test_importrun_cli.moc"
