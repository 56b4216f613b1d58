#include "support/clirun.h"
#include "support/importrunfixture.h"

#include <QSqlQuery>
#include <QtTest>

using B = ImportFileBuilder;

class TestAprovarCli : public QObject
{
    Q_OBJECT

    using Result = CliRun::Result;

    static Result cli(const ImportRunFixture &f, const QStringList &args, const QString &user = QStringLiteral("admin"))
    {
        return CliRun::run(QStringList{"aprovar"} + CliRun::signedIn(f.home->dir(), user) + args,
                           CliRun::Options().within(60000));
    }

    // Three complete certificates and two without products or documents.
    static void importSample(ImportRunFixture &f)
    {
        B b(ImportRunFixture::Sigla);
        b.completeCertificate("C-1").completeCertificate("C-2").completeCertificate("C'3");
        for (const char *num : {"P-1", "P-2"}) {
            b.record("[CERTIFIC]", B::certific(num));
            b.record("[EMPRESA]", B::empresa(QStringLiteral("Empresa ") + num));
            b.record("[EMP_CERT]", B::empCert(num, QStringLiteral("Empresa ") + num));
        }
        f.write(1, b);
        QVERIFY(f.run());
    }

private slots:
    static QStringList aprEvents(const ImportRunFixture &f)
    {
        QStringList out;
        QSqlQuery q = f.db->exec("select NumCertif, UsuResp from STATUS_C where Evento = 'APR' order by SeqEvento");
        while (q.next())
            out << q.value(0).toString() + "/" + q.value(1).toString();
        return out;
    }

    // The import marks complete certificates approved without an "APR" event:
    // delivered with the file, the regulator may hold them, so nothing is left
    // to approve, as on the approval page. Changed since, they are approved
    // again with one event each.
    void approvesEveryCompleteCertificate()
    {
        ImportRunFixture f;
        importSample(f);
        QCOMPARE(f.count("CERTIFIC", "Completo = 1 and Aprovado = 1"), 3);
        QCOMPARE(f.count("CERTIFIC", "Completo = 0 and Aprovado = 0 and NumCertif in ('P-1', 'P-2')"), 2);
        QCOMPARE(f.count("STATUS_C", "Evento = 'APR'"), 0);
        const int before = f.count("STATUS_C", "1 = 1");

        Result r = cli(f, {"--completos"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QString("Total de certificados aprovados: 0\n"));
        QCOMPARE(f.count("STATUS_C", "1 = 1"), before);

        f.db->execute("update CERTIFIC set Aprovado = 0");
        r = cli(f, {"--completos"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines.at(0).startsWith("Aprovado: OCT C'3 (evento "));
        QVERIFY(lines.at(1).startsWith("Aprovado: OCT C-1 (evento "));
        QVERIFY(lines.at(2).startsWith("Aprovado: OCT C-2 (evento "));
        QCOMPARE(lines.at(3), QString("Total de certificados aprovados: 3"));
        QCOMPARE(aprEvents(f), QStringList({"C'3/admin", "C-1/admin", "C-2/admin"}));
        QCOMPARE(f.count("STATUS_C", "1 = 1"), before + 3);
        QCOMPARE(f.count("CERTIFIC", "Aprovado = 1"), 3);
        QCOMPARE(f.count("CERTIFIC", "Aprovado = 1 and Completo = 0"), 0);
        QCOMPARE(f.count("STATUS_C", "NumCertif in ('P-1', 'P-2') and Evento = 'APR'"), 0);
        QCOMPARE(f.count("STATUS_C",
                         "Evento = 'APR' and HistoricoSis = '2' and "
                         "Justificativa = 'Historico gerado pelo sistema'"),
                 3);

        // A second run finds nothing left.
        r = cli(f, {"--completos"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QString("Total de certificados aprovados: 0\n"));
        QCOMPARE(f.count("STATUS_C", "1 = 1"), before + 3);

        // Changes made afterwards withdraw every approval: one more event each.
        f.db->execute("update CERTIFIC set Aprovado = 0");
        r = cli(f, {"--completos"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.endsWith("Total de certificados aprovados: 3\n"));
        QCOMPARE(f.count("CERTIFIC", "Aprovado = 1"), 3);
        QCOMPARE(aprEvents(f).size(), 6);
        const int top = f.db->scalar("select max(SeqEvento) from STATUS_C").toInt();
        QCOMPARE(f.count("STATUS_C", QStringLiteral("Evento = 'APR' and SeqEvento > %1").arg(top - 3)), 3);
    }

    // A listed number of an imported certificate is refused while it stays as
    // the file left it; changed since, it is approved once, and the second
    // time refused.
    void listedImportedCertificateGetsItsEvent()
    {
        ImportRunFixture f;
        importSample(f);
        Result r = cli(f, {"C'3"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("Certificado C'3 não está entre os certificados completos e não aprovados."));
        QCOMPARE(f.count("STATUS_C", "Evento = 'APR'"), 0);

        f.db->execute("update CERTIFIC set Aprovado = 0 where NumCertif in ('C''3', 'C-1')");
        r = cli(f, {"C'3"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.endsWith("Total de certificados aprovados: 1\n"));
        QCOMPARE(aprEvents(f), QStringList({"C'3/admin"}));

        r = cli(f, {"C'3", "C-1"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("Certificado C'3 não está entre os certificados completos e não aprovados."));
        QVERIFY(!r.err.contains("Certificado C-1"));
        QCOMPARE(aprEvents(f), QStringList({"C'3/admin"}));

        r = cli(f, {"P-2"});
        QCOMPARE(r.code, 1);
        QCOMPARE(f.count("STATUS_C", "Evento = 'APR'"), 1);
        QCOMPARE(f.count("CERTIFIC", "NumCertif = 'P-2' and Aprovado = 0"), 1);
    }

    void listedNumbersMustAllBeCandidates()
    {
        ImportRunFixture f;
        importSample(f);
        f.db->execute("update CERTIFIC set Aprovado = 0");
        Result r = cli(f, {"C-1", "P-1", "X-9"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("Certificado P-1 não está entre os certificados completos e não aprovados."));
        QVERIFY(r.err.contains("Certificado X-9 não está entre os certificados completos e não aprovados."));
        QVERIFY(!r.err.contains("Certificado C-1"));
        QVERIFY(r.err.contains("Nenhum certificado foi aprovado."));
        QCOMPARE(f.count("CERTIFIC", "Aprovado = 1"), 0);
        QCOMPARE(f.count("STATUS_C", "Evento = 'APR'"), 0);

        r = cli(f, {"c-2", "C'3", "C-2"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.endsWith("Total de certificados aprovados: 2\n"));
        QCOMPARE(f.count("CERTIFIC", "Aprovado = 1 and NumCertif in ('C-2', 'C''3')"), 2);
        QCOMPARE(f.count("STATUS_C", "Evento = 'APR'"), 2);

        r = cli(f, {"C-2"}); // already approved
        QCOMPARE(r.code, 1);
        QCOMPARE(f.count("STATUS_C", "Evento = 'APR'"), 2);

        // A full event table is named with its limit; nothing is approved.
        f.db->execute(
            "insert into STATUS_C (SiglaCertificador, NumCertif, SeqEvento, Evento) values ('X', 'X', 32767, 'INC')");
        r = cli(f, {"C-1"});
        QCOMPARE(r.code, 1);
        QVERIFY2(
            r.err.contains("A tabela STATUS_C atingiu o número máximo de eventos (32767). O evento não foi gravado."),
            qPrintable(r.err));
        QCOMPARE(f.count("CERTIFIC", "Aprovado = 1 and NumCertif = 'C-1'"), 0);
        QCOMPARE(f.count("STATUS_C", "Evento = 'APR'"), 2);
    }

    void refusesWithoutRightOrWords()
    {
        ImportRunFixture f;
        importSample(f);
        f.db->execute("update CERTIFIC set Aprovado = 0");
        QCOMPARE(cli(f, {}).code, 2);
        QCOMPARE(cli(f, {"--completos", "C-1"}).code, 2);
        QCOMPARE(cli(f, {"--todos"}).code, 2);

        f.db->execute("update USU_LOCAL set SenhaUsu = (select SenhaUsu from USU_LOCAL where SiglaUsu = 'admin'), "
                      "AcManBase = 1 where SiglaUsu = 'imp'");
        const Result r = cli(f, {"--completos"}, "imp");
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("Acesso negado: o usuário imp não tem permissão"), qPrintable(r.err));
        QCOMPARE(f.count("CERTIFIC", "Aprovado = 1"), 0);
    }
};

QTEST_GUILESS_MAIN(TestAprovarCli)
#include "test_aprovar_cli.moc"
