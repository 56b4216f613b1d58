// corvane-cli remessa enviar / resultado: each step only when the control
// window would offer it, nothing written on a refusal.
#include "support/clirun.h"
#include "support/remessafixture.h"

#include "base/codecs.h"
#include "remessa/remessacontrol.h"

#include <QFileInfo>
#include <QtTest>

class TestStepsCli : public QObject
{
    Q_OBJECT

    using Run = CliRun::Result;

    Run cli(RemessaFixture &f, const QStringList &args)
    {
        return CliRun::run(QStringList{"remessa"} + args + CliRun::signedIn(f.home->dir()));
    }

private slots:
    void sendAndSettleOnlyWhenOffered()
    {
        RemessaFixture f(true);
        f.db.execute("UPDATE CERTIFIC SET Completo = 1, Aprovado = 1");
        const QString folder = f.outDir;

        // Nothing prepared yet: neither step.
        Run r = cli(f, {"enviar", "--pasta", folder});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("Não há remessa preparada."), qPrintable(r.err));
        QCOMPARE(f.count("CONTROLE"), 0);

        r = cli(f, {"preparar"});
        QCOMPARE(r.code, 0);
        const auto prepared = RemessaControl::newest(f.db);
        QVERIFY(prepared);
        const QString package = RemessaControl::packageName("C", RemessaControl::workingValues(f.db).acronym,
                                                            prepared->number);

        // At PR the result is refused.
        const QString ok = Codecs::confirmation(Codecs::Encode, prepared->number + "OK");
        r = cli(f, {"resultado", "--senha", ok});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("não há resultado a receber"), qPrintable(r.err));
        QCOMPARE(f.count("CONTROLE"), 1);

        // A folder that does not exist: failure, nothing logged.
        r = cli(f, {"enviar", "--pasta", folder + "nao-existe"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("Gravação de arquivo não realizada: Erro ao criar arquivo."), qPrintable(r.err));
        QCOMPARE(f.count("CONTROLE"), 1);

        r = cli(f, {"enviar", "--pasta", folder});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("Gravação de arquivo realizada com sucesso."));
        QVERIFY(QFileInfo::exists(folder + package));
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("TR"));

        // At TR a second transfer is refused.
        r = cli(f, {"enviar", "--pasta", folder});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("não há arquivo a transferir"));
        QCOMPARE(f.count("CONTROLE"), 2);

        // A code typed without encoding.
        r = cli(f, {"resultado", "--senha", prepared->number + "OK"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("A senha não é válida. Tente novamente."));
        QCOMPARE(f.count("CONTROLE"), 2);

        // Remarks longer than the column takes are refused, not cut short.
        r = cli(f, {"resultado", "--senha", ok, "--obs", QString(79, QLatin1Char('o'))});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("As observações não cabem no campo Obs de CONTROLE: aceita no máximo 78 caracteres "
                                "de observação."),
                 qPrintable(r.err));
        QCOMPARE(f.count("CONTROLE"), 2);

        r = cli(f, {"resultado", "--senha", ok, "--obs", "aceita pelo telefone"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("Remessa Válida"));
        QVERIFY(r.out.contains("Sincronização efetuada com sucesso..."));
        QCOMPARE(RemessaControl::newest(f.db)->event, QStringLiteral("OK"));
        QCOMPARE(f.db.scalar("SELECT Obs FROM CONTROLE WHERE Evento = 'OK'").toString(),
                 QStringLiteral("<Recebimento Manual>  aceita pelo telefone"));
        QCOMPARE(f.count("REP_CERTIFIC"), f.count("CERTIFIC"));

        // Finished: no result again.
        r = cli(f, {"resultado", "--senha", ok});
        QCOMPARE(r.code, 1);
        QCOMPARE(f.count("CONTROLE"), 3);
    }

    void usage()
    {
        RemessaFixture f;
        QCOMPARE(cli(f, {"enviar"}).code, 2);
        QCOMPARE(cli(f, {"enviar", "--pasta"}).code, 2);
        QCOMPARE(cli(f, {"resultado"}).code, 2);
        QCOMPARE(cli(f, {"resultado", "--senha", "x", "sobra"}).code, 2);
    }
};

QTEST_GUILESS_MAIN(TestStepsCli)
#include "test_steps_cli.moc"
