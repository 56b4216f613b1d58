// Work undone whole on a failure writes without a savepoint per statement;
// on a server its cached writes then go without waiting for their answers,
// and a read may go as a guess that finds nothing. Whatever the engine, a
// failure is raised by the next answer, the commit or waitForWrites() at the
// latest, never lost, and leaves nothing; reads see every write before them
// and read their values as the file's engine gives them.
#include "db/database.h"
#include "db/dberror.h"
#include "support/testdb.h"

#include <QTemporaryDir>
#include <QtTest>

class TestPipeline : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    Database *m_db = nullptr;

    int count(const QString &where = QStringLiteral("1 = 1")) const
    {
        return m_db->scalar(QStringLiteral("SELECT count(*) FROM P WHERE ") + where).toInt();
    }

private slots:
    void init()
    {
        m_db = new Database(QStringLiteral("pipeline-test"));
        TestDb::createEmpty(*m_db, m_dir.path(), QLatin1String(QTest::currentTestFunction()));
        const bool server = TestDb::onServer();
        m_db->execute(QStringLiteral("CREATE TABLE P (k %1 NOT NULL PRIMARY KEY, n INTEGER, r %2, d %3, s SMALLINT)")
                          .arg(server ? QStringLiteral("citext") : QStringLiteral("TEXT COLLATE NOCASE"),
                               server ? QStringLiteral("double precision") : QStringLiteral("REAL"),
                               server ? QStringLiteral("text") : QStringLiteral("DATETIME")));
        m_db->setStatementUndo(false);
    }
    void cleanup()
    {
        delete m_db;
        m_db = nullptr;
    }

    void readsSeeTheWritesBeforeThemAndReadAsOnTheFile()
    {
        const QDateTime moment(QDate(2026, 12, 8), QTime(18, 50, 1, 123));
        Transaction tx(*m_db);
        Database::Statement &insert = m_db->statement(
            QStringLiteral("INSERT INTO P (k, n, r, d, s) VALUES (?, ?, ?, ?, ?)"));
        for (int i = 0; i < 300; ++i) // more than one batch of unanswered writes
            insert.exec({QStringLiteral("k%1").arg(i), i, i + 0.5, moment, i % 2 == 0});
        insert.exec({QStringLiteral("O'Brien ação"), QVariant(QMetaType(QMetaType::Int)), 1.25, QVariant(), 0});

        Database::Statement &read = m_db->statement(QStringLiteral("SELECT k, n, r, d, s FROM P WHERE k = ?"));
        read.exec({QStringLiteral("K299")}); // case-blind, as text keys compare
        QVERIFY(read.hasRow());
        QCOMPARE(read.value(0).toString(), QStringLiteral("k299"));
        QCOMPARE(read.value(1).metaType(), QMetaType::fromType<qlonglong>());
        QCOMPARE(read.value(1).toLongLong(), qint64(299));
        QCOMPARE(read.value(2).toDouble(), 299.5);
        QCOMPARE(read.value(3).toString(), Database::Statement::dateTimeText(moment));
        QCOMPARE(read.value(4).toInt(), 0);
        QCOMPARE(read.cell(1).type, Database::Statement::Cell::Integer);
        QCOMPARE(read.cell(1).integer, qint64(299));
        QCOMPARE(QByteArray(read.cell(0).text, read.cell(0).size), QByteArray("k299"));
        QVERIFY(!read.next());
        read.exec({QStringLiteral("o'brien AÇÃO")});
        if (!TestDb::onServer()) // the file's case rule folds ASCII letters only
            QVERIFY(!read.hasRow());
        read.exec({QStringLiteral("O'Brien ação")});
        QVERIFY(read.hasRow());
        QVERIFY(read.value(1).isNull());
        QVERIFY(read.value(3).isNull());
        QCOMPARE(read.cell(1).type, Database::Statement::Cell::Null);
        read.reset();

        Database::Statement &update = m_db->statement(QStringLiteral("UPDATE P SET n = n + 1000 WHERE s = ?"));
        update.exec({1});
        QCOMPARE(update.changes(), 150);

        // Changes counted without waiting for each answer, over more than
        // one batch, rows matching none counting none.
        Database::Statement &touch = m_db->statement(QStringLiteral("UPDATE P SET s = s WHERE k = ?"));
        const auto counted = std::make_shared<int>(0);
        touch.countChanges(counted);
        for (int i = 0; i < 400; ++i) {
            touch.exec({QStringLiteral("K%1").arg(i)});
            touch.reset();
        }
        touch.countChanges(nullptr);
        touch.exec({QStringLiteral("k1")});
        m_db->waitForWrites();
        QCOMPARE(*counted, 300);
        tx.commit();
        QCOMPARE(count(), 301);
        QCOMPARE(count(QStringLiteral("n >= 1000")), 150);
        QVERIFY(!m_db->writesPending());
    }

    void aFailedWriteIsRaisedOnceAndKeepsNothing()
    {
        bool raised = false;
        try {
            Transaction tx(*m_db);
            Database::Statement &insert = m_db->statement(QStringLiteral("INSERT INTO P (k, n) VALUES (?, ?)"));
            insert.exec({QStringLiteral("a"), 1});
            insert.exec({QStringLiteral("A"), 2}); // the same key
            insert.exec({QStringLiteral("b"), 3});
            m_db->waitForWrites();
            tx.commit();
        } catch (const DbError &e) {
            raised = true;
            QVERIFY(e.isKeyViolation() || TestDb::onServer());
            if (TestDb::onServer()) {
                QVERIFY(e.failedWithoutStatementUndo());
                QVERIFY(e.endsOperation());
                QVERIFY(m_db->failedWithoutStatementUndo());
                QVERIFY(!m_db->guessMissed());
            }
        }
        QVERIFY(raised);
        QVERIFY(!m_db->inTransaction());
        QCOMPARE(count(), 0);

        // A failure left unasked is raised by the commit.
        raised = false;
        try {
            Transaction tx(*m_db);
            Database::Statement &insert = m_db->statement(QStringLiteral("INSERT INTO P (k, n) VALUES (?, ?)"));
            insert.exec({QStringLiteral("c"), 1});
            insert.exec({QStringLiteral("c"), 2});
            tx.commit();
        } catch (const DbError &) {
            raised = true;
        }
        QVERIFY(raised);
        QCOMPARE(count(), 0);

        // And the next transaction starts clean.
        {
            Transaction tx(*m_db);
            m_db->statement(QStringLiteral("INSERT INTO P (k, n) VALUES (?, ?)")).exec({QStringLiteral("d"), 4});
            tx.commit();
        }
        QVERIFY(!m_db->failedWithoutStatementUndo());
        QCOMPARE(count(), 1);
    }

    void aGuessOfNoRowIsCheckedByTheAnswer()
    {
        m_db->execute(QStringLiteral("INSERT INTO P (k, n) VALUES ('there', 1)"));
        const QString find = QStringLiteral("SELECT * FROM P WHERE k = ?");
        {
            Transaction tx(*m_db);
            Database::Statement &q = m_db->statement(find);
            q.start();
            q.bind(1, QStringLiteral("absent"));
            q.guessNoRow();
            QVERIFY(!q.hasRow());
            q.reset();
            m_db->statement(QStringLiteral("INSERT INTO P (k, n) VALUES (?, ?)")).exec({QStringLiteral("absent"), 2});
            m_db->waitForWrites();
            QVERIFY(!m_db->guessMissed());
            tx.commit();
        }
        QCOMPARE(count(), 2);

        bool raised = false;
        try {
            Transaction tx(*m_db);
            Database::Statement &q = m_db->statement(find);
            q.start();
            q.bind(1, QStringLiteral("THERE"));
            q.guessNoRow();
            // The file answers at once; the server checks the guess later.
            const bool found = q.hasRow();
            QCOMPARE(found, !TestDb::onServer());
            q.reset();
            if (!found)
                m_db->statement(QStringLiteral("UPDATE P SET n = 5")).exec();
            m_db->waitForWrites();
            tx.commit();
        } catch (const DbError &e) {
            raised = true;
            QVERIFY(e.failedWithoutStatementUndo());
            QVERIFY(m_db->guessMissed());
        }
        QCOMPARE(raised, TestDb::onServer());
        QCOMPARE(count(QStringLiteral("n = 5")), 0);
        QCOMPARE(count(), 2);
    }
};

QTEST_GUILESS_MAIN(TestPipeline)
#include "test_pipeline.moc"
