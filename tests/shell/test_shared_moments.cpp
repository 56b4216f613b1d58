// Dates and moments on a workstation whose zone skips a midnight: every
// place that reads, writes or shows one keeps the day and the clock typed.
#include "support/localzone.h"

#include "base/moments.h"
#include "db/database.h"
#include "db/schema.h"
#include "db/tableops.h"
#include "import/importdates.h"
#include "maintenance/maintenancedates.h"
#include "reports/reportformat.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
const QDate Skipped(2017, 10, 15); // local midnight missing in Sao Paulo
}

class TestSharedMoments : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void storedTextAndReadingBackIgnoreTheZone()
    {
        const LocalZone zone(LocalZone::SaoPaulo);
        const QDateTime midnight = Moments::wallClock(Skipped);
        QVERIFY(midnight.isValid());
        QCOMPARE(Moments::storedText(midnight), QStringLiteral("2017-10-15T00:00:00.000"));
        // A local moment built from the date keeps its fields as well.
        QCOMPARE(Moments::storedText(QDateTime(Skipped, QTime(0, 0))), QStringLiteral("2017-10-15T00:00:00.000"));

        QCOMPARE(Moments::fromValue(QStringLiteral("2017-10-15T00:30:00.000")),
                 Moments::wallClock(Skipped, QTime(0, 30)));
        QCOMPARE(Moments::fromValue(QStringLiteral("2017-10-15 00:30:00")), Moments::wallClock(Skipped, QTime(0, 30)));
        QCOMPARE(Moments::fromValue(QStringLiteral("2017-10-15")), midnight);
        QCOMPARE(Moments::fromValue(QVariant(Skipped)), midnight);
        QCOMPARE(Moments::fromValue(QDateTime(Skipped, QTime(0, 0))), midnight);
        for (const char *bad : {"", "15/10/2017", "2017-02-30", "2017-10-15X00:00", "2017-10-15T25:00:00"})
            QVERIFY2(!Moments::fromValue(QString::fromLatin1(bad)).isValid(), bad);
        QVERIFY(!Moments::fromValue(QVariant()).isValid());
    }

    void theDatabaseStoresTheDayWhateverTheMomentCarries()
    {
        const LocalZone zone(LocalZone::SaoPaulo);
        Database db(QStringLiteral("moments-test"));
        db.create(m_dir.filePath(QStringLiteral("moments.db")));
        Schema::Table t;
        t.name = QStringLiteral("DIA");
        t.fields = {{QStringLiteral("Id"), Schema::FieldType::Integer, 0, true},
                    {QStringLiteral("Quando"), Schema::FieldType::DateTime, 0, false}};
        t.key = {QStringLiteral("Id")};
        TableOps::createTable(db, t);

        // Through QtSql, through the statement cache, and fitted for a copy.
        db.execute(QStringLiteral("INSERT INTO DIA VALUES (1, ?)"), {QDateTime(Skipped, QTime(0, 0))});
        db.execute(QStringLiteral("INSERT INTO DIA VALUES (2, ?)"), {MaintenanceDates::atMidnight(Skipped)});
        Database::Statement &st = db.statement(QStringLiteral("INSERT INTO DIA VALUES (3, ?)"));
        st.exec({Moments::wallClock(Skipped)});
        st.reset();
        db.execute(QStringLiteral("INSERT INTO DIA VALUES (4, ?)"),
                   {TableOps::fitValue(t.name, t.fields.at(1), QVariant(Skipped))});
        db.execute(QStringLiteral("INSERT INTO DIA VALUES (5, ?)"), {ImportDates::parseDateTime("15/10/2017 00:30")});
        QSqlQuery q = db.exec(QStringLiteral("SELECT Quando FROM DIA ORDER BY Id"));
        QStringList stored;
        while (q.next())
            stored << q.value(0).toString();
        QCOMPARE(stored,
                 (QStringList{"2017-10-15T00:00:00.000", "2017-10-15T00:00:00.000", "2017-10-15T00:00:00.000",
                              "2017-10-15T00:00:00.000", "2017-10-15T00:30:00.000"}));
    }

    void typedAndShownDatesKeepTheirDay()
    {
        const LocalZone zone(LocalZone::SaoPaulo);
        // The import file's date and moment forms.
        const QDateTime issue = ImportDates::parseDateTime(QStringLiteral("15/10/2017"));
        QVERIFY(issue.isValid());
        QCOMPARE(issue.date(), Skipped);
        QCOMPARE(ImportDates::displayText(issue), QStringLiteral("15/10/2017"));
        QCOMPARE(ImportDates::momentText(ImportDates::parseDateTime(QStringLiteral("15/10/2017 00:30"))),
                 QStringLiteral("15/10/2017 00:30:00"));
        // The maintenance boxes.
        QVERIFY(MaintenanceDates::atMidnight(Skipped).isValid());
        QCOMPARE(MaintenanceDates::boxText(MaintenanceDates::atMidnight(Skipped)), QStringLiteral("15/10/2017"));
        // The reports.
        QCOMPARE(ReportFormat::date(QStringLiteral("2017-10-15T00:00:00.000")), QStringLiteral("15/10/2017"));
        QCOMPARE(ReportFormat::dateTime(QStringLiteral("2017-10-15T00:30:00.000"), QStringLiteral("dd/MM/yyyy hh:mm")),
                 QStringLiteral("15/10/2017 00:30"));
        QCOMPARE(ReportFormat::date(QVariant(Skipped)), QStringLiteral("15/10/2017"));
    }
};

QTEST_GUILESS_MAIN(TestSharedMoments)
#include "test_shared_moments.moc"
