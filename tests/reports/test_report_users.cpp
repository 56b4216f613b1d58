// The report facility and the user list report, checked through the PDF it writes.
#include "app/appwindowopener.h"
#include "db/database.h"
#include "reports/bandedreport.h"
#include "reports/listreport.h"
#include "reports/userlistreport.h"
#include "shell/programdatabase.h"
#include "shell/userstore.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"
#include "support/whenmodal.h"

#include <QApplication>
#include <QDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

QString runTool(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfText(const QString &pdf)
{
    return runTool("pdftotext", {"-layout", pdf, "-"});
}

int pdfPages(const QString &pdf)
{
    const QString info = runTool("pdfinfo", {pdf});
    const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString squeeze(QString s)
{
    return s.simplified();
}

}

class TestReportUsers : public QObject
{
    Q_OBJECT

private slots:
    void shellOpenerShowsTheUserListPreview()
    {
        TestHome home;
        ProgramDatabase dm;
        ScriptedMessenger msg;
        QWidget parent;
        QString title;
        QWidget *owner = nullptr;
        whenModal<QDialog>([&](QDialog *dialog) {
            title = dialog->windowTitle();
            owner = dialog->parentWidget();
            dialog->reject();
        });
        AppWindowOpener().previewUserList(dm.database(), "Administrador do sistema", &parent, msg);
        QCOMPARE(title, QString::fromUtf8("Visualização de Impressão - Cadastro de Usuários"));
        QCOMPARE(owner, &parent);
        QVERIFY(msg.messages.isEmpty());
    }

    void userListHoldsEveryUserAndTheHeading()
    {
        TestHome home;
        ProgramDatabase dm;
        UserRecord u;
        u.sigla = "dalva";
        u.nome = "Joana D'Arc Ação";
        u.rights.manBase = true;
        u.rights.aprovCertific = true;
        UserStore(dm.database()).insert(u);

        QTemporaryDir out;
        const QString pdf = out.filePath("usuarios.pdf");
        QVERIFY(UserListReport::build(dm.database(), "Administrador do sistema").exportPdf(pdf));
        const QString text = pdfText(pdf);
        QVERIFY2(!text.isEmpty(), "pdftotext gave nothing");
        for (const char *s : {"Corvane", "Cadastro de Usuários", "Pag", "Data", "Nome do Usuário", "Certificador",
                              "Aprovação", "Certificados", "Joana D'Arc Ação", "Administrador", "Total de usuários: 2"})
            QVERIFY2(text.contains(QString::fromUtf8(s)), s);
        QVERIFY(text.contains(QDate::currentDate().toString("dd/MM/yyyy")));
        // The user line is cut to 19 characters in all.
        QVERIFY(text.contains("Usuário: Administra"));
        QVERIFY(!text.contains("Usuário: Administrador"));
        // admin has every right, dalva two of seven, in the column order.
        QVERIFY(squeeze(text).contains("admin Administrador Sim Sim Sim Sim Sim Sim Sim"));
        QVERIFY(squeeze(text).contains(QString::fromUtf8("dalva Joana D'Arc Ação Não Não Não Sim Não Não Sim")));
        QCOMPARE(pdfPages(pdf), 1);
    }

    // Every list report: header lines, one row per entry in the given order
    // and the total line after the last row, counted by the list itself.
    void listReportCountsItsRowsAndEndsWithTheTotal()
    {
        ListReport list("Lista de Teste", "ana", {"Seleção: Todos", "OCX - Organismo"},
                        {{"Código", 1}, {"Descrição", 3, Qt::AlignRight}});
        list.setDate(QDate(2024, 3, 9));
        list.addRow({"B2", "segunda"});
        list.report().addFields({{"Nota", "sob a segunda"}}, 8);
        list.addRow({"A1", "primeira"});
        QCOMPARE(list.rowCount(), 2);
        const BandedReport report = list.finish(QString("Total de itens: %1").arg(list.rowCount()));
        QCOMPARE(report.title(), QString("Lista de Teste"));
        const CsvExport::Table table = report.tableData();
        QCOMPARE(table.headers, QStringList({"Código", "Descrição"}));
        QCOMPARE(table.rows.size(), 2);
        QCOMPARE(table.rows.at(0).value(0).toString(), QString("B2"));
        QCOMPARE(table.rows.at(1).value(1).toString(), QString("primeira"));

        QTemporaryDir out;
        const QString pdf = out.filePath("lista.pdf");
        QVERIFY(report.exportPdf(pdf));
        const QString text = squeeze(pdfText(pdf));
        QVERIFY2(text.contains("Seleção: Todos"), qPrintable(text));
        QVERIFY(text.contains("OCX - Organismo"));
        QVERIFY(text.contains("09/03/2024"));
        QVERIFY(text.contains("Nota sob a segunda"));
        // The total comes after the rows, not among them.
        QVERIFY(text.indexOf("Total de itens: 2") > text.indexOf("A1 primeira"));
        QVERIFY(text.indexOf("B2 segunda") < text.indexOf("A1 primeira"));
    }

    void longReportRepeatsTheHeadingOnEveryPage()
    {
        BandedReport report("Relatório de Teste");
        report.setUserName("ana");
        report.setDate(QDate(2024, 3, 9));
        report.addHeaderLine("Seleção: Status:Todos, Aprovados:Todos ");
        report.setColumns({{"Número", 1}, {"Descrição", 3}});
        for (int i = 1; i <= 150; ++i)
            report.addRow({QString("N%1").arg(i, 3, 10, QChar('0')),
                           i == 75 ? QString("texto longo ").repeated(40) : QString("linha %1").arg(i)});
        report.endColumns();
        report.addSection("Resumo");
        report.addFields({{"Total:", "150"}});

        QTemporaryDir out;
        const QString pdf = out.filePath("longo.pdf");
        QVERIFY(report.exportPdf(pdf));
        const int pages = pdfPages(pdf);
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        const QString text = pdfText(pdf);
        QCOMPARE(text.count("Relatório de Teste"), pages);
        QCOMPARE(text.count("Seleção: Status:Todos"), pages);
        QCOMPARE(text.count("Número"), pages);
        QCOMPARE(text.count("09/03/2024"), pages);
        QCOMPARE(text.count("Usuário: ana"), pages);
        // Every row once, none lost at a page break.
        for (int i = 1; i <= 150; ++i)
            QCOMPARE(text.count(QString("N%1").arg(i, 3, 10, QChar('0'))), 1);
        QVERIFY(squeeze(text).contains("Resumo Total: 150"));
        // Each page's header carries its own number.
        for (int page = 1; page <= pages; ++page) {
            const QString one = runTool(
                "pdftotext", {"-layout", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
            const QString head = one.section('\n', 0, 5);
            QVERIFY(head.contains("Pag"));
            QVERIFY2(QRegularExpression(QString("(^|\\s)%1(\\s|$)").arg(page)).match(head).hasMatch(),
                     qPrintable(head));
        }
    }

    void unwritablePathFails()
    {
        BandedReport report("X");
        QVERIFY(!report.exportPdf("/nonexistent-folder/sub/x.pdf"));
    }
};

QTEST_MAIN(TestReportUsers)
#include "test_report_users.moc"
