// The rows a file inserted answer "matches none of them" only when the
// engines would say so: texts without regard to ASCII case, numbers by
// value, a test naming some of the key's values; anything beyond plain
// ASCII is left to the database.
#include "import/writtenrows.h"

#include <QtTest>

namespace {

// Key (k1 text, k2 integer, k3 text): empty values are not tested (or are
// NULL in a row written).
WrittenRows::Key key(const QString &a, const QString &b, const QString &c)
{
    return {{a, b, c}, {false, true, false}};
}

}

class TestWrittenRows : public QObject
{
    Q_OBJECT

private slots:
    void aTestMatchesTheRowsWrittenAsTheEnginesCompare()
    {
        WrittenRows rows;
        QVERIFY(!rows.known());
        QCOMPARE(rows.find(key(QStringLiteral("a"), QString(), QString())), WrittenRows::Answer::Ask);
        rows.startEmpty();
        QVERIFY(rows.known());

        rows.inserted(key(QStringLiteral("Cert-1"), QStringLiteral("7"), QStringLiteral("Lote A")));
        rows.inserted(key(QStringLiteral("Cert-2"), QString(), QStringLiteral("x")));
        using A = WrittenRows::Answer;
        QCOMPARE(rows.find(key(QStringLiteral("CERT-1"), QStringLiteral("007"), QStringLiteral("lote a"))), A::Ask);
        QCOMPARE(rows.find(key(QStringLiteral("cert-1"), QString(), QString())), A::Ask); // fewer values tested
        QCOMPARE(rows.find(key(QStringLiteral("cert-1"), QStringLiteral("8"), QString())), A::Missing);
        QCOMPARE(rows.find(key(QStringLiteral("Cert-1"), QString(), QStringLiteral("Lote B"))), A::Missing);
        // A NULL written matches no value tested.
        QCOMPARE(rows.find(key(QStringLiteral("Cert-2"), QStringLiteral("0"), QString())), A::Missing);
        QCOMPARE(rows.find(key(QStringLiteral("Cert-2"), QString(), QStringLiteral("X"))), A::Ask);
        // Values are told apart by their places, not run together.
        rows.inserted(key(QStringLiteral("ab"), QString(), QStringLiteral("c")));
        QCOMPARE(rows.find(key(QStringLiteral("a"), QString(), QStringLiteral("bc"))), A::Missing);
        // A row written after a test of its values was made is found by it.
        QCOMPARE(rows.find(key(QStringLiteral("new"), QString(), QString())), A::Missing);
        rows.inserted(key(QStringLiteral("NEW"), QStringLiteral("1"), QStringLiteral("z")));
        QCOMPARE(rows.find(key(QStringLiteral("new"), QString(), QString())), A::Ask);
        // Nothing tested, or a number that is none: the database answers.
        QCOMPARE(rows.find(key(QString(), QString(), QString())), A::Ask);
        QCOMPARE(rows.find(key(QStringLiteral("a"), QStringLiteral("sete"), QString())), A::Ask);
    }

    void beyondPlainAsciiTheDatabaseAnswers()
    {
        WrittenRows rows;
        rows.startEmpty();
        rows.inserted(key(QStringLiteral("Cert-1"), QString(), QStringLiteral("x")));
        // The engines fold letters beyond ASCII by rules of their own.
        QCOMPARE(rows.find(key(QStringLiteral("Ação"), QString(), QString())), WrittenRows::Answer::Ask);
        QVERIFY(rows.known());
        // A row of such values cannot be compared with later tests at all.
        rows.inserted(key(QStringLiteral("Ação"), QString(), QString()));
        QVERIFY(!rows.known());
        QCOMPARE(rows.find(key(QStringLiteral("other"), QString(), QString())), WrittenRows::Answer::Ask);
        rows.inserted(key(QStringLiteral("other"), QString(), QString()));
        QVERIFY(!rows.known());
    }
};

QTEST_GUILESS_MAIN(TestWrittenRows)
#include "test_writtenrows.moc"
