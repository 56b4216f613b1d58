// A long query read as a view scrolls: a block at a time on both engines,
// values bound (named or in order), and on a server the rows as they were
// when the list was opened while another workstation writes.
#include "db/database.h"
#include "db/dberror.h"
#include "db/lazyquerymodel.h"
#include "db/placeholders.h"
#include "support/testdb.h"

#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QList<int> readAll(LazyQueryModel &m)
{
    while (m.canFetchMore())
        m.fetchMore();
    QList<int> ids;
    for (int row = 0; row < m.rowCount(); ++row)
        ids << m.cell(row, 0).toInt();
    return ids;
}

QList<int> range(int from, int to, int step = 1)
{
    QList<int> out;
    for (int i = from; i <= to; i += step)
        out << i;
    return out;
}

}

class TestLazyQueryModel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    Database *m_a = nullptr;
    Database *m_b = nullptr; // another workstation

private slots:
    void init()
    {
        m_a = new Database(QStringLiteral("lazy-a"));
        m_b = new Database(QStringLiteral("lazy-b"));
        TestDb::createEmpty(*m_a, m_dir.path(), QLatin1String(QTest::currentTestFunction()));
        if (m_a->onServer())
            m_b->connectServer(m_a->server());
        else
            m_b->open(m_a->path());
        m_a->execute(QStringLiteral("CREATE TABLE lista (id INTEGER PRIMARY KEY, nome VARCHAR(40) NOT NULL)"));
        Transaction tx(*m_a);
        for (int i = 1; i <= 1000; ++i)
            m_a->execute(QStringLiteral("INSERT INTO lista (id, nome) VALUES (?, ?)"),
                         {i, i % 2 ? QStringLiteral("Sul d'Oeste %1").arg(i) : QStringLiteral("Norte %1").arg(i)});
        tx.commit();
    }
    void cleanup()
    {
        delete m_b;
        delete m_a;
        m_a = m_b = nullptr;
    }

    void readsABlockAtATimeWithItsValuesBound()
    {
        LazyQueryModel m;
        m.openLazily(
            *m_a, QStringLiteral("SELECT id, nome FROM lista WHERE nome LIKE :nome AND id > :desde ORDER BY id"),
            QVariantMap{{QStringLiteral("nome"), QStringLiteral("Sul d'Oeste%")}, {QStringLiteral("desde"), 10}});
        QVERIFY(m.rowCount() > 0 && m.rowCount() < 500);
        QVERIFY(m.canFetchMore());
        QCOMPARE(m.queryColumns().indexOf(QStringLiteral("nome")), 1);
        QCOMPARE(m.data(m.index(0, 1)).toString(), QStringLiteral("Sul d'Oeste 11"));
        QCOMPARE(readAll(m), range(11, 999, 2));
        QVERIFY(!m.canFetchMore());

        m.openLazily(*m_a, QStringLiteral("SELECT id FROM lista WHERE id BETWEEN ? AND ? ORDER BY id DESC"),
                     QVariantList{995, 1000});
        QCOMPARE(readAll(m), (QList<int>{1000, 999, 998, 997, 996, 995}));
        m.closeLazily();
        QCOMPARE(m.rowCount(), 0);
        QVERIFY(!m.canFetchMore());

        // A statement the engine refuses leaves the list empty.
        QVERIFY_THROWS_EXCEPTION(DbError, m.openLazily(*m_a, QStringLiteral("SELECT id FROM nenhuma"), QVariantMap{}));
        QCOMPARE(m.rowCount(), 0);
    }

    // As the server numbers them: a name twice is one parameter; quoted text
    // and casts are not placeholders.
    void placeholdersAreNumberedOutsideQuotesAndCasts()
    {
        std::vector<Placeholders::Parameter> p;
        QCOMPARE(Placeholders::numbered(QStringLiteral("select ':x', \"?\", a::text from t where a = :a and b = ? "
                                                       "and c = :a and d = ?"),
                                        p),
                 QStringLiteral("select ':x', \"?\", a::text from t where a = $1 and b = $2 and c = $1 and d = $3"));
        QCOMPARE(int(p.size()), 3);
        QCOMPARE(p[0].name, QStringLiteral("a"));
        QCOMPARE(p[1].position, 0);
        QCOMPARE(p[2].position, 1);
        QVERIFY(!Placeholders::any(QStringLiteral("SET client_min_messages = 'a:b?'")));
    }

    // What another workstation changes after the list was opened does not
    // move the rows still to come: none is skipped or shown twice.
    void aServerListKeepsTheRowsOfItsOpening()
    {
        if (!TestDb::onServer())
            QSKIP("a file register has one workstation");
        LazyQueryModel m;
        m.openLazily(*m_a, QStringLiteral("SELECT id FROM lista ORDER BY id"), QVariantMap{});
        const int first = m.rowCount();
        QVERIFY(first < 1000);
        m_b->execute(QStringLiteral("DELETE FROM lista WHERE id <= 100"));
        m_b->execute(QStringLiteral("INSERT INTO lista (id, nome) VALUES (0, 'novo')"));
        QCOMPARE(readAll(m), range(1, 1000));
        // Its cursor goes with the list.
        QCOMPARE(m_a->scalar(QStringLiteral("SELECT count(*) FROM pg_cursors")).toInt(), 1);
        m.closeLazily();
        QCOMPARE(m_a->scalar(QStringLiteral("SELECT count(*) FROM pg_cursors")).toInt(), 0);
        {
            LazyQueryModel gone;
            gone.openLazily(*m_a, QStringLiteral("SELECT id FROM lista"), QVariantMap{});
        }
        QCOMPARE(m_a->scalar(QStringLiteral("SELECT count(*) FROM pg_cursors")).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestLazyQueryModel)
#include "test_lazyquerymodel.moc"
