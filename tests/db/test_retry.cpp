// Whole operations run again when the server undoes them for colliding with
// another connection's, told in Portuguese when they keep colliding; a lost
// connection is told as such and keeps nothing. Two real connections.
#include "base/apperror.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/retry.h"
#include "support/testdb.h"

#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <atomic>

const char *const FileWritersWait =
    "a file has one writer at a time: its writers wait for each other and never collide";

class TestRetry : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    Database *m_a = nullptr; // the connection that runs the operations
    Database *m_b = nullptr; // another workstation

    int count(const char *table) { return m_b->scalar(QStringLiteral("SELECT count(*) FROM ") + table).toInt(); }
    int balance(int id) { return m_b->scalar(QStringLiteral("SELECT saldo FROM contas WHERE id = ?"), {id}).toInt(); }
    // The other workstation adds to an account, committed at once.
    void interfere(int id, int amount)
    {
        m_b->execute(QStringLiteral("UPDATE contas SET saldo = saldo + ? WHERE id = ?"), {amount, id});
    }
    // A row of the operation's own, to see that a failed run keeps nothing.
    void logAttempt(int attempt)
    {
        m_a->execute(QStringLiteral("INSERT INTO registro (tentativa) VALUES (?)"), {attempt});
    }
    void addOnA(int id, int amount)
    {
        m_a->execute(QStringLiteral("UPDATE contas SET saldo = saldo + ? WHERE id = ?"), {amount, id});
    }
    void repeatableReads()
    {
        // A snapshot for the whole transaction: another's committed change
        // to a row read is a collision, as under concurrent approvals.
        m_a->execute(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION ISOLATION LEVEL REPEATABLE READ"));
    }

private slots:
    void init()
    {
        m_a = new Database(QStringLiteral("retry-a"));
        m_b = new Database(QStringLiteral("retry-b"));
        TestDb::createEmpty(*m_a, m_dir.path(), QLatin1String(QTest::currentTestFunction()));
        if (m_a->onServer())
            m_b->connectServer(m_a->server());
        else
            m_b->open(m_a->path());
        m_a->execute(QStringLiteral("CREATE TABLE contas (id INTEGER PRIMARY KEY, saldo INTEGER NOT NULL)"));
        m_a->execute(QStringLiteral("CREATE TABLE registro (tentativa INTEGER NOT NULL)"));
        m_a->execute(QStringLiteral("INSERT INTO contas (id, saldo) VALUES (1, 100), (2, 200)"));
    }
    void cleanup()
    {
        delete m_b;
        delete m_a;
        m_a = m_b = nullptr;
    }

    // Committed once when nothing collides; any other failure undoes the
    // work and passes through; inside an open transaction the work joins it.
    void runsOnceAndKeepsNothingOfAFailure()
    {
        int calls = 0;
        DbRetry::run(*m_a, [&] {
            logAttempt(++calls);
            addOnA(1, 5);
        });
        QCOMPARE(calls, 1);
        QCOMPARE(balance(1), 105);
        QVERIFY(!m_a->inTransaction());

        QVERIFY_THROWS_EXCEPTION(AppError, DbRetry::run(*m_a, [&] {
                                     logAttempt(++calls);
                                     addOnA(1, 5);
                                     throw AppError(QStringLiteral("falha"));
                                 }));
        QVERIFY_THROWS_EXCEPTION(DbError, DbRetry::run(*m_a, [&] {
                                     logAttempt(++calls);
                                     m_a->execute(QStringLiteral("INSERT INTO contas (id, saldo) VALUES (2, 0)"));
                                 }));
        QCOMPARE(calls, 3);
        QCOMPARE(count("registro"), 1);
        QCOMPARE(balance(1), 105);
        QVERIFY(!m_a->inTransaction());

        m_a->begin();
        DbRetry::run(*m_a, [&] { addOnA(2, 1); });
        QVERIFY(m_a->inTransaction());
        m_a->rollback();
        QCOMPARE(balance(2), 200);
    }

    // Another workstation changes a row this operation read: the server
    // refuses the write (40001), and the whole operation runs again on
    // fresh data, keeping both changes and one run's rows.
    void aCollisionRunsTheWholeAgain()
    {
        if (!TestDb::onServer())
            QSKIP(FileWritersWait);
        repeatableReads();
        int calls = 0;
        DbRetry::run(*m_a, [&] {
            ++calls;
            const int seen = m_a->scalar(QStringLiteral("SELECT saldo FROM contas WHERE id = 1")).toInt();
            logAttempt(calls);
            if (calls == 1)
                interfere(1, 10);
            m_a->execute(QStringLiteral("UPDATE contas SET saldo = ? WHERE id = 1"), {seen + 1});
        });
        QCOMPARE(calls, 2);
        QCOMPARE(balance(1), 111);
        QCOMPARE(m_b->scalar(QStringLiteral("SELECT tentativa FROM registro")).toInt(), 2);
        QCOMPARE(count("registro"), 1);
    }

    void collidingEveryTimeIsToldAndKeepsNothing()
    {
        if (!TestDb::onServer())
            QSKIP(FileWritersWait);
        repeatableReads();
        int calls = 0;
        try {
            DbRetry::run(
                *m_a,
                [&] {
                    m_a->scalar(QStringLiteral("SELECT saldo FROM contas WHERE id = 1"));
                    logAttempt(++calls);
                    interfere(1, 10);
                    addOnA(1, 1);
                },
                3);
            QFAIL("gravado");
        } catch (const DbError &e) {
            QCOMPARE(e.message(), DbRetry::gaveUpMessage(m_a->describe(), 3));
            QVERIFY(e.message().startsWith("A operação colidiu 3 vezes com a de outro posto de trabalho no servidor "));
            QCOMPARE(e.sqlState(), QStringLiteral("40001"));
        }
        QCOMPARE(calls, 3);
        QCOMPARE(count("registro"), 0);
        QCOMPARE(balance(1), 130);
        QVERIFY(!m_a->inTransaction());
    }

    // Two operations lock the two accounts in opposite orders: the server
    // ends one of them (40P01); it runs again and both are kept.
    void aDeadlockRunsTheWholeAgain()
    {
        if (!TestDb::onServer())
            QSKIP(FileWritersWait);
        repeatableReads();
        const ServerAddress server = m_a->server();
        std::atomic<int> stage{0};
        QString otherFailure;
        // The other workstation, on a thread of its own: it takes account 2,
        // then, once this side waits for it, asks for account 1.
        QThread *other = QThread::create([&] {
            try {
                Database c(QStringLiteral("retry-c"));
                c.connectServer(server);
                Transaction tx(c);
                c.execute(QStringLiteral("UPDATE contas SET saldo = saldo + 10 WHERE id = 2"));
                stage = 1;
                while (stage < 2)
                    QThread::msleep(5);
                QThread::msleep(300); // this side is waiting for account 2 by now
                c.execute(QStringLiteral("UPDATE contas SET saldo = saldo + 10 WHERE id = 1"));
                tx.commit();
            } catch (const DbError &e) {
                otherFailure = e.message();
            }
        });
        other->start();
        QTRY_COMPARE(stage.load(), 1);
        int calls = 0;
        DbRetry::run(*m_a, [&] {
            // Run again only once the other has committed: a snapshot taken
            // before its commit would collide with it once more (40001).
            if (++calls > 1)
                QVERIFY(other->wait(20000));
            logAttempt(calls);
            addOnA(1, 1);
            stage = 2;
            addOnA(2, 1);
        });
        QVERIFY(other->wait(20000));
        delete other;
        // Whichever side the server chose, each operation is kept once.
        if (otherFailure.isEmpty()) {
            QCOMPARE(calls, 2);
            QCOMPARE(balance(1), 111);
            QCOMPARE(balance(2), 211);
        } else {
            QVERIFY2(otherFailure.contains("deadlock"), qPrintable(otherFailure));
            QCOMPARE(calls, 1);
            QCOMPARE(balance(1), 101);
        }
        QCOMPARE(count("registro"), 1);
    }

    // The session is ended from outside mid-operation: told as a lost
    // connection, not run again, nothing of it kept.
    void aLostConnectionIsToldAndKeepsNothing()
    {
        if (!TestDb::onServer())
            QSKIP("a file has no connection to lose");
        repeatableReads();
        const int pid = m_a->scalar(QStringLiteral("SELECT pg_backend_pid()")).toInt();
        Database::Statement &add = m_a->statement(QStringLiteral("UPDATE contas SET saldo = saldo + ? WHERE id = ?"));
        int calls = 0;
        try {
            DbRetry::run(*m_a, [&] {
                logAttempt(++calls);
                QVERIFY(m_b->scalar(QStringLiteral("SELECT pg_terminate_backend(?, 5000)"), {pid}).toBool());
                addOnA(1, 1);
            });
            QFAIL("gravado");
        } catch (const DbError &e) {
            QVERIFY(e.isConnectionLost());
            QCOMPARE(e.message(), DbError::connectionLost(m_a->describe(), false).message());
            QVERIFY2(e.message().startsWith("A conexão com o servidor "), qPrintable(e.message()));
        }
        QCOMPARE(calls, 1);
        QCOMPARE(count("registro"), 0);
        QCOMPARE(balance(1), 100);
        QVERIFY(!m_a->inTransaction());
        // The next operation connects again, and a statement prepared on the
        // lost session runs on the new one, in and out of a transaction.
        QVERIFY(m_a->scalar(QStringLiteral("SELECT pg_backend_pid()")).toInt() != pid);
        add.exec({1, 1});
        QCOMPARE(balance(1), 101);
        DbRetry::run(*m_a, [&] { add.exec({1, 1}); });
        QCOMPARE(balance(1), 102);
    }

    // While the server is away every operation says the connection is lost;
    // once it answers again, work goes on without restarting the program.
    void theConnectionComesBackWithTheServer()
    {
        if (!TestDb::onServer())
            QSKIP("a file has no connection to lose");
        const int pid = m_a->scalar(QStringLiteral("SELECT pg_backend_pid()")).toInt();
        const QString alter = QStringLiteral("ALTER DATABASE ") +
            m_a->scalar("SELECT quote_ident(current_database())").toString();
        addOnA(1, 1);
        // Sessions are refused for a while: the reconnection fails, and the
        // operation after it is told the connection is lost again.
        Database cluster(QStringLiteral("retry-cluster")); // on the server's own database, not the register's
        cluster.connectServer(TestDb::server());
        cluster.execute(alter + QStringLiteral(" ALLOW_CONNECTIONS false"));
        QVERIFY(m_b->scalar(QStringLiteral("SELECT pg_terminate_backend(?, 5000)"), {pid}).toBool());
        for (int i = 0; i < 2; ++i) {
            try {
                addOnA(1, 1);
                QFAIL("gravado sem conexão");
            } catch (const DbError &e) {
                QVERIFY2(e.isConnectionLost(), qPrintable(e.message()));
            }
        }
        cluster.execute(alter + QStringLiteral(" ALLOW_CONNECTIONS true"));
        addOnA(1, 1);
        QCOMPARE(balance(1), 102);
    }
};

QTEST_GUILESS_MAIN(TestRetry)
#include "test_retry.moc"
