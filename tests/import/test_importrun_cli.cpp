#include "support/clirun.h"
#include "support/importrunfixture.h"

#include <QtTest>

using B = ImportFileBuilder;

class TestImportCli : public QObject
{
    Q_OBJECT

    using Result = CliRun::Result;

    // The password goes in the environment; an unset one means "no variable".
    static Result cli(const QStringList &args, const QString &password = QStringLiteral("admin"))
    {
        return CliRun::run(QStringList{"import"} + args, CliRun::Options().withPassword(password).within(60000));
    }

private slots:
    void exitCodeTellsHowTheFilesWent()
    {
        ImportRunFixture f;
        const QString good = f.write(1, B(ImportRunFixture::Sigla).completeCertificate("C-1"));
        const QStringList args{"--home", f.home->dir(), "--user", "admin", f.dir()};

        Result r = cli(args);
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("Importação dos dados do arquivo " + good + " concluída com sucesso"),
                 qPrintable(r.out + r.err));
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
        QCOMPARE(cli({"--home", "", "--user", "admin", f.dir()}).code, 2);
        QCOMPARE(cli({"--home", f.home->dir(), "--user", "--home", f.dir()}).code, 2);
        QCOMPARE(cli({"--home", f.home->dir(), "--user", "admin", f.path("nao-existe")}).code, 2);
        QCOMPARE(cli({"--home", f.dir(), "--user", "admin", f.dir()}).code, 1); // no database there
    }

    // Every refusal happens before anything is read or written.
    void signsInBeforeActing()
    {
        ImportRunFixture f;
        f.write(1, B(ImportRunFixture::Sigla).completeCertificate("C-1"));
        const QStringList args{"--home", f.home->dir(), "--user", "admin", f.dir()};

        Result r = cli(args, QStringLiteral("errada"));
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("Login e/ou senha inválidos.  Acesso negado ao sistema."), qPrintable(r.err));

        r = cli(args, QString());
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("CORVANE_SENHA"), qPrintable(r.err));

        r = cli({"--home", f.home->dir(), "--user", "ninguem", f.dir()});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("Login e/ou senha inválidos."));

        // A user without the maintenance right.
        f.db->execute(QStringLiteral("update USU_LOCAL set SenhaUsu = (select SenhaUsu from USU_LOCAL "
                                     "where SiglaUsu = 'admin') where SiglaUsu = 'imp'"));
        r = cli({"--home", f.home->dir(), "--user", "imp", f.dir()});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("Acesso negado: o usuário imp não tem permissão"), qPrintable(r.err));

        QCOMPARE(f.count("CERTIFIC"), 0);
        QCOMPARE(f.count("CONTROLE_TXT"), 0);
        QCOMPARE(QDir(f.dir()).entryList(QDir::Files).size(), 1);

        f.db->execute(QStringLiteral("update USU_LOCAL set AcManBase = 1 where SiglaUsu = 'imp'"));
        r = cli({"--home", f.home->dir(), "--user", "imp", f.dir()});
        QCOMPARE(r.code, 0);
        QCOMPARE(f.count("CERTIFIC"), 1);
    }
};

QTEST_GUILESS_MAIN(TestImportCli)
#include "test_importrun_cli.moc"
