// Certificates about to expire: the list, its day boundaries, the report and
// the batch tool's PDF and spreadsheet.
#include "base/clock.h"
#include "db/database.h"
#include "reports/expiringcertificates.h"
#include "support/clirun.h"
#include "support/csvreadback.h"
#include "support/reportfixture.h"
#include "support/testhome.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace ReportFixture;

namespace {

const QDate Today(2040, 3, 10);

// A certificate valid until `valid` at the given time of day; other
// columns as the fixture makes them.
void certificate(Writer &w, const QString &num, const QDate &valid, const QTime &at = QTime(9, 0),
                 const QString &status = QStringLiteral("A"))
{
    const QDateTime issue(valid.addYears(-3), QTime(9, 0));
    w.raw().addItem(QStringLiteral("CERTIFIC"),
                    w.with(num,
                           {{"IdClasseCertif", "COMP"},
                            {"IdClasseProd", 101},
                            {"DataEmissao", issue},
                            {"DataValid", QDateTime(valid, at)},
                            {"Completo", true}}),
                    issue);
    if (status != QLatin1String("A"))
        w.raw().changeStatus(QStringLiteral("CERTIFIC"), w.key(num), QStringLiteral("SUS"), status,
                             QStringLiteral("teste"), QDateTime(issue.date().addDays(1), QTime(9, 0)));
}

QStringList numbers(const QList<ExpiringCertificates::Row> &rows)
{
    QStringList out;
    for (const auto &r : rows)
        out << r.numero;
    return out;
}

}

class TestExpiring : public QObject
{
    Q_OBJECT

    static CliRun::Result cli(const QStringList &args) { return CliRun::run(QStringList{"relatorio"} + args, Today); }

    // The demo database plus certificates around the boundaries of a 60-day
    // horizon from Today.
    static void fill(Database &db)
    {
        Writer w(db);
        certificate(w, "V-ONTEM", Today.addDays(-1));
        certificate(w, "V-HOJE", Today, QTime(23, 30)); // late at night: still today's date
        certificate(w, "V-AMANHA", Today.addDays(1), QTime(0, 0));
        certificate(w, "V-N", Today.addDays(60));
        certificate(w, "V-N1", Today.addDays(61));
        certificate(w, "V-SUSP", Today.addDays(2), QTime(9, 0), QStringLiteral("S"));
        certificate(w, "V-30", Today.addDays(30));

        // Main company: the maker even when linked after another; otherwise
        // the first linked; a person by name.
        const QVariantMap seller = w.company("BR", "10000000000101",
                                             {{"RazSocialEmp", "Loja Revenda Ltda"},
                                              {"TipoPessoa", "1"},
                                              {"CGC", "10000000000101"},
                                              {"DthUltAtualiz", at(2030, 1, 1)},
                                              {"UsuResp", "ana"}});
        const QVariantMap maker = w.company("BR", "20000000000202",
                                            {{"RazSocialEmp", "Fábrica; \"Ômega\"\nUnidade Sul"},
                                             {"TipoPessoa", "1"},
                                             {"CGC", "20000000000202"},
                                             {"DthUltAtualiz", at(2030, 1, 1)},
                                             {"UsuResp", "ana"}});
        const QVariantMap person = w.company("BR", "30000000003",
                                             {{"NomPessoaFisica", "Maria Souza"},
                                              {"TipoPessoa", "2"},
                                              {"CPF", "30000000003"},
                                              {"DthUltAtualiz", at(2030, 1, 1)},
                                              {"UsuResp", "ana"}});
        w.link("V-HOJE", seller, 3, at(2037, 1, 1));
        w.link("V-HOJE", maker, 1, at(2037, 2, 1));
        w.link("V-AMANHA", seller, 3, at(2037, 1, 1));
        w.link("V-AMANHA", person, 4, at(2037, 2, 1));
        w.link("V-N", person, 2, at(2037, 1, 1));
    }

private slots:
    void listsTheDaysFromTodayToTheHorizon()
    {
        TestHome home(true);
        Database db;
        home.open(db);
        fill(db);

        const auto rows = ExpiringCertificates::list(db, Today, 60);
        // Yesterday, past the horizon and the suspended one stay out; soonest first.
        QCOMPARE(numbers(rows), (QStringList{"V-HOJE", "V-AMANHA", "V-30", "V-N"}));
        QCOMPARE(rows[0].diasRestantes, 0);
        QCOMPARE(rows[0].validade, Today);
        QCOMPARE(rows[1].diasRestantes, 1);
        QCOMPARE(rows[3].diasRestantes, 60);
        QCOMPARE(rows[0].classe, QStringLiteral("Certificação Compulsória"));
        QCOMPARE(ExpiringCertificates::count(db, Today, 60), 4);

        QCOMPARE(rows[0].empresa, QStringLiteral("Fábrica; \"Ômega\"\nUnidade Sul"));
        QCOMPARE(rows[1].empresa, QStringLiteral("Loja Revenda Ltda"));
        QCOMPARE(rows[3].empresa, QStringLiteral("Maria Souza"));
        QCOMPARE(rows[2].empresa, QString());

        // One more day takes in the next; a horizon of 0 leaves today alone.
        QCOMPARE(numbers(ExpiringCertificates::list(db, Today, 61)).last(), QStringLiteral("V-N1"));
        QCOMPARE(numbers(ExpiringCertificates::list(db, Today, 0)), QStringList{"V-HOJE"});
        // The day after, today's certificate has ended.
        QCOMPARE(numbers(ExpiringCertificates::list(db, Today.addDays(1), 0)), QStringList{"V-AMANHA"});

        QCOMPARE(ExpiringCertificates::notice(4, 60), QStringLiteral("Certificados a vencer em 60 dias: 4"));
        QVERIFY(ExpiringCertificates::notice(0, 60).isEmpty());
    }

    void reportAndSpreadsheetCarryTheRows()
    {
        TestHome home(true);
        Database db;
        home.open(db);
        fill(db);
        const auto rows = ExpiringCertificates::list(db, Today, 30);
        const BandedReport report = ExpiringCertificates::report(rows, Today, 30, QStringLiteral("Ana"));
        QCOMPARE(report.rowCount(), 3);
        const CsvExport::Table fromReport = report.tableData();
        QCOMPARE(fromReport.rows.size(), 3);
        QCOMPARE(fromReport.rows[2].at(3).toString(), QStringLiteral("09/04/2040"));
        QCOMPARE(fromReport.rows[2].at(4).toString(), QStringLiteral("30"));

        QTemporaryDir out;
        const QString pdf = out.filePath("vencer.pdf");
        QVERIFY(report.exportPdf(pdf));
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains("Certificados a Vencer"), qPrintable(text));
        QVERIFY(text.contains("V-AMANHA"));
        QVERIFY(text.contains("Validade até 09/04/2040 (próximos 30 dias)"));
    }

    void batchToolWritesPdfAndSpreadsheet()
    {
        TestHome home(true);
        {
            Database db;
            home.open(db);
            fill(db);
        }
        QTemporaryDir out;
        const QStringList base{"--home", home.dir(), "--user", "admin"};

        const QString csv = out.filePath("vencer.csv");
        CliRun::Result r = cli(QStringList{"vencendo"} + base + QStringList{"--dias", "61", "--csv", csv});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains("5 certificado(s)"), qPrintable(r.out));

        // Read back as a spreadsheet program would: the BOM, ";" and the
        // quoted field with a quote, a ";" and a line break inside.
        const QList<QStringList> rows = CsvReadBack::rows(csv);
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows[0][0], QStringLiteral("Número do Certificado"));
        QCOMPARE(
            rows[1],
            (QStringList{"V-HOJE", "Certificação Compulsória", "Fábrica; \"Ômega\"\nUnidade Sul", "10/03/2040", "0"}));
        QCOMPARE(rows[5][0], QStringLiteral("V-N1"));
        QCOMPARE(rows[5][4], QStringLiteral("61"));

        const QString pdf = out.filePath("vencer.pdf");
        r = cli(QStringList{"vencendo"} + base + QStringList{"--dias", "1", "--pdf", pdf});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QString text = pdfText(pdf);
        QVERIFY(text.contains("V-AMANHA"));
        QVERIFY(!text.contains("V-30"));

        // Misused options are refused and nothing is written.
        const QString none = out.filePath("nada.csv");
        r = cli(QStringList{"vencendo"} + base + QStringList{"--dias", "abc", "--csv", none});
        QCOMPARE(r.code, 2);
        QVERIFY(!QFile::exists(none));
        r = cli(QStringList{"lista"} + base + QStringList{"--dias", "5", "--csv", none});
        QCOMPARE(r.code, 2);
        r = cli(QStringList{"espelho"} + base + QStringList{"--csv", none});
        QCOMPARE(r.code, 2);
        r = cli(QStringList{"lista"} + base + QStringList{"--pdf", pdf, "--csv", none});
        QCOMPARE(r.code, 2);

        // The other lists go to a spreadsheet the same way.
        const QString list = out.filePath("lista.csv");
        r = cli(QStringList{"lista"} + base + QStringList{"--csv", list});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QFile f(list);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBFN\xC3\xBAmero do Certificado;Classe do Produto;"));
        QVERIFY(bytes.contains("V-HOJE;"));
    }
};

QTEST_MAIN(TestExpiring)
#include "test_expiring.moc"
