// Dates typed in the maintenance window: issue, validity, entry and status dates.
#include "maintenance/maintenancedates.h"
#include "support/scriptedmessenger.h"

#include <QtTest>

using namespace MaintenanceDates;

class TestMaintenanceDates : public QObject
{
    Q_OBJECT

    static QString box(const QDate &d) { return boxText(d); }

private slots:
    void boxesReadAsTheMaskLeavesThem()
    {
        QVERIFY(isBlank(BlankBox));
        QVERIFY(isBlank(QString()));
        QVERIFY(!isBlank(QStringLiteral("1 /  /    ")));
        QVERIFY(hasBlankPosition(QStringLiteral("01/02/202 ")));
        QVERIFY(!hasBlankPosition(QStringLiteral("01/02/2024")));
        QCOMPARE(parse(QStringLiteral("29/02/2024")), QDate(2024, 2, 29));
        QVERIFY(!parse(QStringLiteral("29/02/2023")).isValid());
        QVERIFY(!parse(QStringLiteral("2024-02-01")).isValid());
        QCOMPARE(box(QDate()), BlankBox);
    }

    void issueDateNotLaterThanTodayNorFrom2080()
    {
        const QDate today(2026, 12, 8);
        QCOMPARE(issueProblem(BlankBox, today), QString());
        QCOMPARE(issueProblem(box(today), today), QString());
        QCOMPARE(issueProblem(box(today.addDays(1)), today), IssueMessage);
        QCOMPARE(issueProblem(QStringLiteral("31/02/2024"), today), IssueMessage);
        QCOMPARE(issueProblem(QStringLiteral("12/03/20  "), today), FormatMessage);
        // A clock set far ahead does not let 2080 through.
        QCOMPARE(issueProblem(QStringLiteral("01/01/2080"), QDate(2090, 1, 1)), IssueMessage);
        QCOMPARE(issueProblem(QStringLiteral("31/12/2079"), QDate(2090, 1, 1)), QString());
    }

    void validityFromTheIssueDateOnAndBefore2080()
    {
        const QString issue = QStringLiteral("10/01/2024");
        for (Panel p : {Panel::NewCertificate, Panel::Modify}) {
            const QString refused = p == Panel::NewCertificate ? ValidityMessageNew : ValidityMessageModify;
            QCOMPARE(validityProblem(BlankBox, issue, p), QString());
            QCOMPARE(validityProblem(issue, issue, p), QString());
            QCOMPARE(validityProblem(QStringLiteral("09/01/2024"), issue, p), refused);
            QCOMPARE(validityProblem(QStringLiteral("31/12/2079"), issue, p), QString());
            QCOMPARE(validityProblem(QStringLiteral("01/01/2080"), issue, p), refused);
            QCOMPARE(validityProblem(QStringLiteral("1 /01/2030"), issue, p), FormatMessage);
        }
        QVERIFY(ValidityMessageNew.contains(QStringLiteral("emissao")));
        QVERIFY(ValidityMessageModify.contains(QStringLiteral("emissão")));
        // Without an issue date the new panel cannot compare; the modify panel
        // only tests the date itself.
        QCOMPARE(validityProblem(QStringLiteral("10/01/2030"), BlankBox, Panel::NewCertificate), ValidityMessageNew);
        QCOMPARE(validityProblem(QStringLiteral("10/01/2030"), BlankBox, Panel::Modify), QString());
        QCOMPARE(validityProblem(QStringLiteral("10/01/2090"), BlankBox, Panel::Modify), ValidityMessageModify);
    }

    void entryAndStatusDatesInOrder()
    {
        const QDate today(2026, 12, 8);
        const QDateTime issue(QDate(2024, 1, 10), QTime(15, 30));
        for (const DayMessages *m : {&entryDateMessages(), &statusDateMessages()}) {
            QCOMPARE(dayProblem(QString(), issue, today, *m), m->blank);
            QCOMPARE(dayProblem(BlankBox, issue, today, *m), m->blank);
            QCOMPARE(dayProblem(QStringLiteral("12/1 /2024"), issue, today, *m), m->invalid);
            QCOMPARE(dayProblem(QStringLiteral("30/02/2024"), issue, today, *m), m->invalid);
            // Whole days: the issue day itself passes although its time is later.
            QCOMPARE(dayProblem(QStringLiteral("10/01/2024"), issue, today, *m), QString());
            QCOMPARE(dayProblem(QStringLiteral("09/01/2024"), issue, today, *m), m->beforeIssue);
            QCOMPARE(dayProblem(box(today), issue, today, *m), QString());
            QCOMPARE(dayProblem(box(today.addDays(1)), issue, today, *m), m->afterToday);
        }
        QCOMPARE(entryDateMessages().blank, QStringLiteral("É necessário informar a  data de entrada."));
        ScriptedMessenger msg;
        QVERIFY(!checkEntryDate(msg, box(QDate::currentDate().addDays(1)), issue));
        QCOMPARE(msg.lastText(), QString("A data de entrada é maior que a data atual."));
        QCOMPARE(msg.lastKind(), ScriptedMessenger::Error);
        QVERIFY(checkEntryDate(msg, box(QDate::currentDate()), issue));
        QCOMPARE(msg.messages.size(), 1);
        QCOMPARE(statusDateMessages().beforeIssue,
                 QStringLiteral("Data do Status menor do que a data de Emisão do Certificado."));
    }
};

QTEST_GUILESS_MAIN(TestMaintenanceDates)
#include "test_maintenancedates.moc"
