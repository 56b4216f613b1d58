// The time zone pinned at start: the same local times as the system's zone,
// and a zone the user chose is never replaced.
#include "base/localzonepin.h"

#include <QDateTime>
#include <QFileInfo>
#include <QtTest>
#include <ctime>

class TestLocalZonePin : public QObject
{
    Q_OBJECT

    bool m_had = false;
    QByteArray m_before;

    static void setZone(const char *zone)
    {
        if (zone)
            qputenv("TZ", zone);
        else
            qunsetenv("TZ");
        tzset();
    }
    // The local offsets of a winter and a summer moment (either hemisphere).
    static QList<int> offsets()
    {
        return {QDateTime(QDate(2026, 1, 15), QTime(12, 0)).offsetFromUtc(),
                QDateTime(QDate(2026, 7, 15), QTime(12, 0)).offsetFromUtc()};
    }

private slots:
    void init()
    {
        m_had = qEnvironmentVariableIsSet("TZ");
        m_before = qgetenv("TZ");
    }
    void cleanup() { setZone(m_had ? m_before.constData() : nullptr); }

    void anUnsetZoneBecomesTheSystemFileWithTheSameTimes()
    {
        if (!QFileInfo::exists(QLatin1String(LocalZonePin::SystemZoneFile)))
            QSKIP("this machine has no /etc/localtime");
        setZone(nullptr);
        const QList<int> system = offsets();
        QVERIFY(LocalZonePin::pin());
        QCOMPARE(qgetenv("TZ"), QByteArray(":/etc/localtime"));
        QCOMPARE(offsets(), system);
        // Once set, a second call leaves it.
        QVERIFY(!LocalZonePin::pin());
    }

    void aChosenZoneIsLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::newRow("named") << QByteArray("America/Sao_Paulo");
        QTest::newRow("empty, which is UTC") << QByteArray("");
    }
    void aChosenZoneIsLeftAlone()
    {
        QFETCH(QByteArray, zone);
        setZone(zone.constData());
        const QList<int> chosen = offsets();
        QVERIFY(!LocalZonePin::pin());
        QVERIFY(qEnvironmentVariableIsSet("TZ"));
        QCOMPARE(qgetenv("TZ"), zone);
        QCOMPARE(offsets(), chosen);
    }
};

QTEST_GUILESS_MAIN(TestLocalZonePin)
#include "test_localzonepin.moc"
