#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

// The rows a file's import inserted into one table, by their key values,
// so that an existence test can tell that it matches none of them without
// a statement (ImportSession says when that is the whole answer).
//
// A test names the key values that hold a value; a row matches when each of
// them equals the row's (texts without regard to case, as the engines
// compare them). Only "missing" is answered here, and only for plain-ASCII
// texts: beyond ASCII the engines' case rules differ. A test that may match
// is asked of the database, which also settles the rare equal digest.
class WrittenRows
{
public:
    enum class Answer { Missing, Ask };
    struct Key
    {
        // One per key item of the table, in order: the trimmed value, empty
        // when it is not part of the test.
        std::vector<QString> values;
        std::vector<bool> integer; // the item holds a number
    };

    // Until known(), every test is asked of the database.
    bool known() const { return m_state == State::Usable; }
    bool decided() const { return m_state != State::Unknown; }
    // A value not answered here was written, or the rows are not all there
    // is to know: every test is asked of the database from now on.
    void giveUp();
    void startEmpty() { m_state = State::Usable; }

    Answer find(const Key &key);
    // A row was inserted with these key values (all of them, empty or not).
    void inserted(const Key &key);

private:
    enum class State { Unknown, Usable, GivenUp };
    // The values as compared, one after another, each ended by a separator
    // (an empty one: NULL, matching nothing); false when one is not
    // answered here.
    static bool fold(const Key &key, QByteArray *folded, quint64 *mask);
    static size_t digest(const QByteArray &folded, quint64 mask);
    QHash<size_t, int> &indexFor(quint64 mask);

    State m_state = State::Unknown;
    struct Row
    {
        QByteArray folded;
        quint64 mask = 0;
    };
    std::vector<Row> m_rows;
    // By the set of values tested: digests of the matching rows' values.
    QHash<quint64, QHash<size_t, int>> m_index;
};
