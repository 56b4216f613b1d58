// Cached statements run on the engine directly: what they store and read
// must be what exec() stores and reads, and they must follow the connection
// through schema changes, transactions and reopening. On a server they are
// the driver's prepared queries, held the same way.
#include "db/database.h"
#include "db/dberror.h"
#include "db/schema.h"
#include "support/testdb.h"

#include <QTemporaryDir>
#include <QtTest>

class TestStatements : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    Database *m_db = nullptr;
    QString m_path;
    ServerAddress m_server;

    // The same table on either engine: a case-blind text, whole and real
    // numbers, a moment as text.
    static QString table(const QString &name, const QString &key)
    {
        const bool server = TestDb::onServer();
        return QStringLiteral("CREATE TABLE %1 (id INTEGER, t %2, i INTEGER, r %3, d %4%5)")
            .arg(name, server ? QStringLiteral("citext") : QStringLiteral("TEXT COLLATE NOCASE"),
                 server ? QStringLiteral("double precision") : QStringLiteral("REAL"),
                 server ? QStringLiteral("text") : QStringLiteral("DATETIME"),
                 key.isEmpty() ? QString() : QStringLiteral(", PRIMARY KEY (%1)").arg(key));
    }
    void reopen()
    {
        if (TestDb::onServer())
            m_db->connectServer(m_server);
        else
            m_db->open(m_path);
    }

    static QVariantList sampleValues()
    {
        return {QStringLiteral("O'Brien ação"),
                QString(QLatin1String("")),
                QString(),
                7,
                QVariant(QMetaType(QMetaType::Int)),
                1.25,
                QVariant(QMetaType(QMetaType::Double)),
                qlonglong(1) << 40,
                true,
                QDateTime(QDate(2020, 1, 1), QTime(0, 0)),
                QDateTime(QDate(2026, 12, 8), QTime(18, 50, 1, 123)),
                QDateTime(),
                QVariant(QMetaType(QMetaType::QDateTime)),
                QDateTime(QDate(2020, 1, 1), QTime(12, 0), Qt::UTC),
                QDate(2020, 5, 6),
                QTime(1, 2, 3, 4),
                QByteArray("a\0b", 3)};
    }

private slots:
    void init()
    {
        m_db = new Database(QStringLiteral("statements-test"));
        m_path = m_dir.filePath(QStringLiteral("%1.db").arg(QTest::currentTestFunction()));
        TestDb::createEmpty(*m_db, m_dir.path(), QLatin1String(QTest::currentTestFunction()));
        m_server = m_db->server();
        m_db->execute(table(QStringLiteral("T"), QStringLiteral("t")));
        m_db->execute(table(QStringLiteral("V"), QString()));
    }
    void cleanup()
    {
        delete m_db;
        m_db = nullptr;
    }

    void valuesAreStoredAsQtSqlStoresThem()
    {
        // The file keeps any value in any column, typed as bound; the
        // server's columns have one type each.
        if (TestDb::onServer())
            QSKIP("values of mixed types in one column are the file engine's");
        const QVariantList values = sampleValues();
        int id = 0;
        for (const QVariant &v : values) {
            const QVariantList row{++id, v, v, v, v};
            m_db->execute(QStringLiteral("INSERT INTO V (id, t, i, r, d) VALUES (?, ?, ?, ?, ?)"), row);
            Database::Statement &s = m_db->statement(
                QStringLiteral("INSERT INTO V (id, t, i, r, d) VALUES (?, ?, ?, ?, ?)"));
            s.exec({1000 + id, v, v, v, v});
            s.reset();
        }
        for (const char *column : {"t", "i", "r", "d"}) {
            QSqlQuery q = m_db->exec(QStringLiteral("SELECT a.id, typeof(a.%1) || ':' || quote(a.%1), "
                                                    "typeof(b.%1) || ':' || quote(b.%1) FROM V a JOIN V b "
                                                    "ON b.id = a.id + 1000 ORDER BY a.id")
                                         .arg(QLatin1String(column)));
            int rows = 0;
            while (q.next()) {
                ++rows;
                QVERIFY2(q.value(1) == q.value(2),
                         qPrintable(QStringLiteral("%1 #%2: %3 / %4")
                                        .arg(QLatin1String(column), q.value(0).toString(), q.value(1).toString(),
                                             q.value(2).toString())));
            }
            QCOMPARE(rows, int(values.size()));
        }
        // The date-time text is Qt's ISO form with milliseconds of the
        // moment's own date and clock, with no zone suffix whatever its zone.
        for (const QVariant &v : values)
            if (v.metaType().id() == QMetaType::QDateTime && v.toDateTime().isValid())
                QCOMPARE(Database::Statement::dateTimeText(v.toDateTime()),
                         v.toDateTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz")));
    }

    void valuesAreReadAsQtSqlReadsThem()
    {
        m_db->execute(QStringLiteral("INSERT INTO V (id, t, i, r, d) VALUES (1, 'texto', 42, 2.5, NULL)"));
        Database::Statement &s = m_db->statement(
            QStringLiteral("SELECT t, i, r, d, (SELECT max(i) FROM V) FROM V WHERE id = ?"));
        s.exec({1});
        QVERIFY(s.hasRow());
        QSqlQuery q = m_db->exec(QStringLiteral("SELECT t, i, r, d, (SELECT max(i) FROM V) FROM V WHERE id = ?"), {1});
        QVERIFY(q.next());
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(s.value(c).metaType(), q.value(c).metaType());
            QCOMPARE(s.value(c).isNull(), q.value(c).isNull());
            QCOMPARE(s.value(c), q.value(c));
        }
        QVERIFY(!s.next());
        s.reset();
    }

    void statementsAreKeptAndFollowSchemaChanges()
    {
        const QString insert = QStringLiteral("INSERT INTO T (id, t) VALUES (?, ?)");
        Database::Statement &first = m_db->statement(insert);
        QCOMPARE(&m_db->statement(insert), &first);
        first.exec({1, QStringLiteral("a")});
        first.exec({2, QStringLiteral("b")});
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM T")).toInt(), 2);

        // A key violation reads as through exec(), told by its code.
        QString viaExec;
        try {
            m_db->execute(insert, {3, QStringLiteral("A")});
        } catch (const DbError &e) {
            viaExec = e.message();
        }
        try {
            first.exec({3, QStringLiteral("A")});
            QFAIL("duplicate key accepted");
        } catch (const DbError &e) {
            QVERIFY(e.isKeyViolation());
            QCOMPARE(e.message(), viaExec);
        }

        const QString select = QStringLiteral("SELECT * FROM T WHERE t = ?");
        Database::Statement &s = m_db->statement(select);
        s.exec({QStringLiteral("A")}); // case-blind key
        QVERIFY(s.hasRow());
        s.reset();

        m_db->execute(QStringLiteral("ALTER TABLE T ADD COLUMN extra TEXT")); // the cached SELECT * widens
        m_db->execute(QStringLiteral("UPDATE T SET extra = 'x'"));
        s.exec({QStringLiteral("b")});
        QVERIFY(s.hasRow());
        QCOMPARE(s.value(5).toString(), QStringLiteral("x"));
        s.reset();

        // A statement between runs does not hold its table.
        m_db->execute(QStringLiteral("DROP TABLE T"));
        QString missing;
        try {
            m_db->execute(select, {QStringLiteral("a")});
        } catch (const DbError &e) {
            missing = e.message();
        }
        QVERIFY(!missing.isEmpty());
        try {
            s.exec({QStringLiteral("a")});
            QFAIL("statement ran on a dropped table");
        } catch (const DbError &e) {
            QCOMPARE(e.message(), missing);
        }
        m_db->execute(table(QStringLiteral("T"), QString()));
        m_db->execute(QStringLiteral("INSERT INTO T (id, t) VALUES (9, 'z')"));
        s.exec({QStringLiteral("z")});
        QVERIFY(s.hasRow());
        QCOMPARE(s.value(0).toInt(), 9);
        s.reset();
    }

    void statementsFollowTransactionsAndReopening()
    {
        const QString insert = QStringLiteral("INSERT INTO V (id) VALUES (?)");
        {
            Transaction tx(*m_db);
            m_db->statement(insert).exec({1});
        } // rolled back
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM V")).toInt(), 0);
        {
            Transaction tx(*m_db);
            m_db->statement(insert).exec({2});
            tx.commit();
        }
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM V")).toInt(), 1);

        const quint64 generation = m_db->statementGeneration();
        m_db->close();
        QVERIFY(m_db->statementGeneration() != generation);
        QVERIFY_THROWS_EXCEPTION(DbError, m_db->statement(insert));
        reopen();
        m_db->statement(insert).exec({3});
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM V")).toInt(), 2);
    }
};

QTEST_GUILESS_MAIN(TestStatements)
#include "test_statements.moc"
