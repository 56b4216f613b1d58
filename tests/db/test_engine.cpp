// What the rest of the system relies on from the database engine: the SQL
// functions, key violations told by code, the transaction guard, case-blind
// text keys, values stored verbatim.
#include "db/database.h"
#include "db/dberror.h"
#include "db/schema.h"
#include "db/tableops.h"
#include "support/testdb.h"

#include <QTemporaryDir>
#include <QtTest>

class TestEngine : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    Database *m_db = nullptr;

    int count(const QString &table) { return m_db->scalar(QStringLiteral("SELECT count(*) FROM ") + table).toInt(); }

private slots:
    void init()
    {
        m_db = new Database(QStringLiteral("engine-test"));
        TestDb::createEmpty(*m_db, m_dir.path(), QLatin1String(QTest::currentTestFunction()));
        Schema::Table t;
        t.name = QStringLiteral("PESSOA");
        t.fields = {{QStringLiteral("Sigla"), Schema::FieldType::Text, 8, true},
                    {QStringLiteral("Nome"), Schema::FieldType::Text, 40, false},
                    {QStringLiteral("Idade"), Schema::FieldType::SmallInt, 0, false}};
        t.key = {QStringLiteral("Sigla")};
        TableOps::createTable(*m_db, t);
    }
    void cleanup()
    {
        delete m_db;
        m_db = nullptr;
    }

    void sqlFunctions()
    {
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT UCASE(?)"), {QStringLiteral("ção")}).toString(),
                 QStringLiteral("ÇÃO"));
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT UCASE('ação e Ávila')")).toString(),
                 QStringLiteral("AÇÃO E ÁVILA"));
        QVERIFY(m_db->scalar(QStringLiteral("SELECT UCASE(NULL)")).isNull());
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT \"ISNULL\"(NULL)")).toInt(), 1);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT \"ISNULL\"('')")).toInt(), 0);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT \"ISNULL\"(0)")).toInt(), 0);
        // A maximum over no rows is null, which is how a first event number is told.
        QVERIFY(m_db->scalar(QStringLiteral("SELECT max(Idade) FROM PESSOA")).isNull());
        QCOMPARE(
            m_db->scalar(QStringLiteral("SELECT IIF(\"ISNULL\"(max(Idade)), 0, max(Idade)) + 1 FROM PESSOA")).toInt(),
            1);
    }

    void keyViolationsAreToldByCode()
    {
        m_db->execute(QStringLiteral("INSERT INTO PESSOA (Sigla, Nome) VALUES (?, ?)"),
                      {QStringLiteral("abc"), QStringLiteral("x")});
        try {
            // Text keys compare without regard to case.
            m_db->execute(QStringLiteral("INSERT INTO PESSOA (Sigla, Nome) VALUES (?, ?)"),
                          {QStringLiteral("ABC"), QStringLiteral("y")});
            QFAIL("a key differing only in case was accepted");
        } catch (const DbError &e) {
            QVERIFY(e.isKeyViolation());
        }
        try {
            m_db->execute(QStringLiteral("INSERT INTO PESSOA (Sigla, Nome) VALUES (NULL, 'z')"));
            QFAIL("a null key was accepted");
        } catch (const DbError &e) {
            QVERIFY(!e.isKeyViolation()); // not-null is another error
        }
        try {
            m_db->execute(QStringLiteral("INSERT INTO NAOEXISTE VALUES (1)"));
            QFAIL("a missing table was accepted");
        } catch (const DbError &e) {
            QVERIFY(!e.isKeyViolation());
            QVERIFY(!e.message().isEmpty());
        }
        QCOMPARE(
            m_db->scalar(QStringLiteral("SELECT Nome FROM PESSOA WHERE Sigla = ?"), {QStringLiteral("AbC")}).toString(),
            QStringLiteral("x"));
    }

    void valuesStoredVerbatim()
    {
        const QString name = QStringLiteral("D'Ávila \"Filho\"; --");
        m_db->execute(QStringLiteral("INSERT INTO PESSOA (Sigla, Nome) VALUES (?, ?)"), {QStringLiteral("o'k"), name});
        QCOMPARE(
            m_db->scalar(QStringLiteral("SELECT Nome FROM PESSOA WHERE Sigla = ?"), {QStringLiteral("O'K")}).toString(),
            name);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT Sigla FROM PESSOA")).toString(), QStringLiteral("o'k"));
    }

    void transactionGuard()
    {
        {
            Transaction outer(*m_db);
            QVERIFY(outer.owns());
            m_db->execute(QStringLiteral("INSERT INTO PESSOA (Sigla) VALUES ('a')"));
            {
                Transaction inner(*m_db);
                QVERIFY(!inner.owns());
                m_db->execute(QStringLiteral("INSERT INTO PESSOA (Sigla) VALUES ('b')"));
                inner.commit(); // the outer guard decides
            }
            QVERIFY(m_db->inTransaction());
            // Leaving without commit rolls back both.
        }
        QVERIFY(!m_db->inTransaction());
        QCOMPARE(count(QStringLiteral("PESSOA")), 0);

        {
            Transaction outer(*m_db);
            m_db->execute(QStringLiteral("INSERT INTO PESSOA (Sigla) VALUES ('a')"));
            try {
                Transaction inner(*m_db);
                m_db->execute(QStringLiteral("INSERT INTO PESSOA (Sigla) VALUES ('A')"));
                inner.commit();
            } catch (const DbError &e) {
                QVERIFY(e.isKeyViolation());
            }
            // A failed statement leaves the transaction and its earlier work in place.
            QVERIFY(m_db->inTransaction());
            outer.commit();
        }
        QVERIFY(!m_db->inTransaction());
        QCOMPARE(count(QStringLiteral("PESSOA")), 1);

        {
            Transaction tx(*m_db);
            m_db->execute(QStringLiteral("DELETE FROM PESSOA"));
            tx.rollback();
            QVERIFY(!m_db->inTransaction());
            tx.commit(); // after rollback: nothing to do
        }
        QCOMPARE(count(QStringLiteral("PESSOA")), 1);
    }

    void dateTimesCompareAsStored()
    {
        Schema::Table ev;
        ev.name = QStringLiteral("EV");
        ev.fields = {{QStringLiteral("Quando"), Schema::FieldType::DateTime, 0, false}};
        TableOps::createTable(*m_db, ev);
        m_db->execute(QStringLiteral("INSERT INTO EV VALUES (?)"), {QDateTime(QDate(2024, 2, 15), QTime(9, 0))});
        m_db->execute(QStringLiteral("INSERT INTO EV VALUES (?)"), {QDateTime(QDate(2024, 10, 1), QTime(0, 0))});
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM EV WHERE Quando < ?"),
                              {QDateTime(QDate(2024, 3, 1), QTime(0, 0))})
                     .toInt(),
                 1);
        QCOMPARE(QDateTime::fromString(m_db->scalar(QStringLiteral("SELECT max(Quando) FROM EV")).toString(),
                                       Qt::ISODateWithMs),
                 QDateTime(QDate(2024, 10, 1), QTime(0, 0)));
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"
