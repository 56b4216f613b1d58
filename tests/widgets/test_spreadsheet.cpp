// Lists to a spreadsheet: the CSV form office programs in Portuguese open
// directly, and the one export piece every grid carries.
#include "base/csvexport.h"
#include "support/csvreadback.h"
#include "support/scriptedmessenger.h"
#include "widgets/spreadsheetexport.h"

#include <QAction>
#include <QApplication>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

class TestSpreadsheet : public QObject
{
    Q_OBJECT

private slots:
    void cellsTakeThePortugueseForms()
    {
        using CsvExport::cellText;
        QCOMPARE(cellText(QDate(2040, 3, 9)), QStringLiteral("09/03/2040"));
        QCOMPARE(cellText(QDateTime(QDate(2040, 3, 9), QTime(23, 5, 7))), QStringLiteral("09/03/2040 23:05:07"));
        QCOMPARE(cellText(1234.5), QStringLiteral("1234,5"));
        QCOMPARE(cellText(-0.25), QStringLiteral("-0,25"));
        QCOMPARE(cellText(12), QStringLiteral("12"));
        QCOMPARE(cellText(true), QStringLiteral("Sim"));
        QCOMPARE(cellText(QVariant()), QString());
        // Text a spreadsheet would run as a formula is kept as text.
        QCOMPARE(cellText(QStringLiteral("=HYPERLINK(\"x\")")), QStringLiteral("'=HYPERLINK(\"x\")"));
        QCOMPARE(cellText(QStringLiteral("@SUM(A1)")), QStringLiteral("'@SUM(A1)"));
        QCOMPARE(cellText(QStringLiteral("-cmd")), QStringLiteral("'-cmd"));
        QCOMPARE(cellText(QStringLiteral("-3,5")), QStringLiteral("-3,5"));
        QCOMPARE(cellText(QStringLiteral("OC-0001/2040")), QStringLiteral("OC-0001/2040"));

        QCOMPARE(CsvExport::field(QStringLiteral("simples")), QStringLiteral("simples"));
        QCOMPARE(CsvExport::field(QStringLiteral("a;b")), QStringLiteral("\"a;b\""));
        QCOMPARE(CsvExport::field(QStringLiteral("diz \"oi\"")), QStringLiteral("\"diz \"\"oi\"\"\""));
        QCOMPARE(CsvExport::field(QStringLiteral("linha\r\noutra")), QStringLiteral("\"linha\r\noutra\""));

        const QByteArray bytes = CsvExport::encode({{"A", "B"}, {{QStringLiteral("ç"), 1.5}}});
        QCOMPARE(bytes,
                 QByteArray("\xEF\xBB\xBF"
                            "A;B\r\n\xC3\xA7;1,5\r\n"));
    }

    void fileReadsBackInPython()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("lista.csv");
        CsvExport::Table t;
        t.headers = {"Número", "Razão Social", "Validade", "Valor"};
        t.rows << QVariantList{"OC-1", "Fábrica; \"Ômega\"\nUnidade Sul", QDate(2040, 1, 31), 10.75};
        t.rows << QVariantList{"OC-2", "", QVariant(), 3};
        QVERIFY(CsvExport::write(file, t).isEmpty());
        const QList<QStringList> rows = CsvReadBack::rows(file);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0], t.headers);
        QCOMPARE(rows[1], (QStringList{"OC-1", "Fábrica; \"Ômega\"\nUnidade Sul", "31/01/2040", "10,75"}));
        QCOMPARE(rows[2], (QStringList{"OC-2", "", "", "3"}));

        // A folder that cannot be written to says why and leaves nothing.
        const QString bad = dir.filePath("nao-existe/lista.csv");
        const QString reason = CsvExport::write(bad, t);
        QVERIFY(reason.startsWith(QStringLiteral("Não foi possível gravar o arquivo")));
        QVERIFY(!QFile::exists(bad));
    }

    void gridExportsWhatItShows()
    {
        QStandardItemModel model(0, 3);
        model.setHorizontalHeaderLabels({"Número", "Oculta", "Emissão"});
        model.appendRow(
            {new QStandardItem("OC-1"), new QStandardItem("x"), new QStandardItem("2040-03-09T00:00:00.000")});
        model.appendRow(
            {new QStandardItem("OC;2"), new QStandardItem("y"), new QStandardItem("2040-03-10T14:20:00.000")});
        QTableView view;
        view.setModel(&model);
        view.setColumnHidden(1, true);

        ScriptedMessenger messenger;
        QTemporaryDir dir;
        QString suggested;
        SpreadsheetExport::setFileChooser([&](QWidget *, const QString &name) {
            suggested = name;
            return dir.filePath("grade"); // the suffix is added
        });
        QAction *action = SpreadsheetExport::attach(&view, messenger, QStringLiteral("certificados"));
        QCOMPARE(action->text(), QStringLiteral("Exportar para planilha..."));
        QVERIFY(view.actions().contains(action));
        action->trigger();
        SpreadsheetExport::setFileChooser({});

        QCOMPARE(suggested, QStringLiteral("certificados"));
        QCOMPARE(messenger.lastKind(), ScriptedMessenger::Information);
        QVERIFY2(messenger.lastText().contains("(2 linha(s))"), qPrintable(messenger.lastText()));
        const QList<QStringList> rows = CsvReadBack::rows(dir.filePath("grade.csv"));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0], (QStringList{"Número", "Emissão"}));
        QCOMPARE(rows[1], (QStringList{"OC-1", "09/03/2040"}));
        QCOMPARE(rows[2], (QStringList{"OC;2", "10/03/2040 14:20:00"}));

        // Cancelling the file dialog writes nothing and says nothing.
        messenger.clear();
        SpreadsheetExport::setFileChooser([](QWidget *, const QString &) { return QString(); });
        QVERIFY(!SpreadsheetExport::exportView(view, messenger, QStringLiteral("x")));
        QVERIFY(messenger.messages.isEmpty());
        // A file that cannot be written is told as an error.
        SpreadsheetExport::setFileChooser([&](QWidget *, const QString &) { return dir.filePath("falta/x.csv"); });
        QVERIFY(!SpreadsheetExport::exportView(view, messenger, QStringLiteral("x")));
        QCOMPARE(messenger.lastKind(), ScriptedMessenger::Error);
        SpreadsheetExport::setFileChooser({});
    }
};

QTEST_MAIN(TestSpreadsheet)
#include "test_spreadsheet.moc"
