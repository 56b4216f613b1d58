// corvane-cli relatorio: the certificate reports written as PDF without a display.
#include "db/database.h"
#include "shell/userstore.h"
#include "support/clirun.h"
#include "support/fulldisk.h"
#include "support/reportfixture.h"
#include "support/testhome.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace ReportFixture;

class TestReportCli : public QObject
{
    Q_OBJECT

    using Result = CliRun::Result;

    static Result cli(const QStringList &args)
    {
        // No display of any kind: the command must not need one.
        return CliRun::run(QStringList{"relatorio"} + args, CliRun::Options().withoutDisplay());
    }

private slots:
    void writesEveryReport()
    {
        TestHome home(true);
        QTemporaryDir out;
        const QStringList base{"--home", home.dir(), "--user", "admin"};

        const QString mirror = out.filePath("espelho.pdf");
        Result r = cli(QStringList{"espelho"} + base +
                       QStringList{"--certificado", "OCDEMO-0002/2024", "--pdf", mirror});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(r.out.contains("1 certificado(s)"));
        QString s = pdfText(mirror);
        QVERIFY(s.contains("Espelho dos Certificados com Log de Evento"));
        QVERIFY(s.contains("Nº Certificado: OCDEMO-0002/2024"));
        QVERIFY(s.contains("Seleção: Número do Certificado: OCDEMO-0002/2024,"));
        QVERIFY(s.contains("Nº. Lote: L2024-0001"));
        QVERIFY(!s.contains("Log de Eventos"));
        QVERIFY(!s.contains("OCDEMO-0001/2024"));

        const QString withLog = out.filePath("espelho-log.pdf");
        r = cli(QStringList{"espelho-log"} + base +
                QStringList{"--certificado", "ocdemo-0001/2024", "--certificado=OCDEMO-0004/2024", "--pdf", withLog});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        s = pdfText(withLog);
        QCOMPARE(s.count("Log de Eventos"), 2);
        QVERIFY(s.contains("Nº Certificado: OCDEMO-0001/2024"));
        QVERIFY(s.contains("Nº Certificado: OCDEMO-0004/2024"));
        QVERIFY(s.contains("Serviços Certificados"));
        QVERIFY(s.contains("Suspensão"));

        // No --certificado: every certificate.
        const QString list = out.filePath("lista.pdf");
        r = cli(QStringList{"lista"} + base + QStringList{"--pdf", list});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        s = pdfText(list);
        for (int i = 1; i <= 5; ++i)
            QVERIFY(s.contains(QString("OCDEMO-000%1/").arg(i)));
        QVERIFY(s.contains("Total de certificados: 5"));
        QVERIFY(s.contains("Usuário: Administra"));

        const QString incomplete = out.filePath("incompletos.pdf");
        r = cli(QStringList{"incompletos"} + base + QStringList{"--pdf", incomplete});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        s = pdfText(incomplete);
        QVERIFY(s.contains("Certificados Incompletos"));
        QVERIFY(s.contains("OCDEMO-0005/2025"));
        QVERIFY(s.contains("Total de certificados: 1"));

        const QString ready = out.filePath("prontos.pdf");
        r = cli(QStringList{"prontos"} + base + QStringList{"--pdf", ready});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(pdfText(ready).contains("Certificados Prontos para Aprovação"));
    }

    void emptySelectionWritesNothing()
    {
        TestHome home(true);
        {
            Database db;
            home.open(db);
            db.execute("UPDATE CERTIFIC SET Completo = 1");
        }
        QTemporaryDir out;
        const QString pdf = out.filePath("x.pdf");
        const QStringList base{"--home", home.dir(), "--user", "admin", "--pdf", pdf};
        Result r = cli(QStringList{"incompletos"} + base);
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("Nenhum certificado selecionado"));
        QVERIFY(!QFile::exists(pdf));

        // An unknown number is named; nothing is written for the others.
        r = cli(QStringList{"espelho", "--certificado", "OCDEMO-0001/2024", "--certificado", "NAO'EXISTE"} + base);
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("Certificado não encontrado: NAO'EXISTE"));
        QVERIFY(!QFile::exists(pdf));

        // A certificate outside the report's rows: selection empty.
        r = cli(QStringList{"prontos", "--certificado", "OCDEMO-0001/2024"} + base);
        QCOMPARE(r.code, 1);
        QVERIFY(!QFile::exists(pdf));
    }

    void refusesBadArgumentsAndUsersWithoutTheRight()
    {
        TestHome home(true);
        QTemporaryDir out;
        const QString pdf = out.filePath("x.pdf");
        QCOMPARE(cli({"espelho", "--home", home.dir(), "--user", "admin"}).code, 2); // no --pdf
        QCOMPARE(cli({"--home", home.dir(), "--user", "admin", "--pdf", pdf}).code, 2); // no report
        QCOMPARE(cli({"resumo", "--home", home.dir(), "--user", "admin", "--pdf", pdf}).code, 2); // unknown
        QCOMPARE(cli({"lista", "--home", home.dir(), "--user", "admin", "--pdf", pdf, "--certificado"}).code, 2);
        QCOMPARE(cli({"lista", "--home", home.dir(), "--pdf", pdf}).code, 2); // no user

        {
            Database db;
            home.open(db);
            UserStore store(db);
            UserRecord u = store.find("admin").value();
            u.rights.manBase = false;
            store.update("admin", u);
        }
        const Result r = cli({"lista", "--home", home.dir(), "--user", "admin", "--pdf", pdf});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("Acesso negado"));
        QVERIFY(!QFile::exists(pdf));
    }

    // No room for the PDF: no file at all, and the cause in the message; a
    // link named like the PDF is replaced, its target left alone.
    void aFullDiskLeavesNoPdfAndSaysSo()
    {
        TestHome home(true);
        QTemporaryDir out;
        const QString victim = out.filePath("alvo.txt");
        {
            QFile v(victim);
            QVERIFY(v.open(QIODevice::WriteOnly));
            v.write("alvo");
        }
        const QString linked = out.filePath("lista.pdf");
        QVERIFY(QFile::link(victim, linked));
        Result r = cli({"lista", "--home", home.dir(), "--user", "admin", "--pdf", linked});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(!QFileInfo(linked).isSymLink());
        QVERIFY(pdfText(linked).contains("OCDEMO-0001/2024"));
        QFile v(victim);
        QVERIFY(v.open(QIODevice::ReadOnly));
        QCOMPARE(v.readAll(), QByteArray("alvo"));

        FullDisk disk(256 * 1024);
        REQUIRE_MOUNTED(disk);
        disk.fill(4 * 1024);
        const QString pdf = QDir(disk.path()).filePath("lista.pdf");
        r = cli({"lista", "--home", home.dir(), "--user", "admin", "--pdf", pdf});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("Não foi possível gravar o arquivo " + pdf + ": não há espaço livre no disco"),
                 qPrintable(r.err));
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestReportCli)
#include "test_report_cli.moc"
