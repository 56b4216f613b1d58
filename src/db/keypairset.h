#pragma once
#include <QString>
#include <QVariantList>

#include <string>
#include <unordered_set>

class Database;
struct sqlite3;

// Pairs of keys a statement tests through the SQL function
// function()(a, b), true when the pair is in the newest KeyPairSet alive
// (none: false): a lookup in memory instead of a probe of the table for
// every row that names the same key. Text compares as the key columns do
// (NOCASE: ASCII letters folded, other bytes as they are); integers by
// value; NULL, reals and blobs are in no pair (text key columns hold none).
class KeyPairSet
{
public:
    // The pairs are the first two columns of the query's rows.
    KeyPairSet(Database &db, const QString &sql, const QVariantList &params = {});
    ~KeyPairSet();
    KeyPairSet(const KeyPairSet &) = delete;
    KeyPairSet &operator=(const KeyPairSet &) = delete;

    static const char *function() { return "corvane_key_pair_in"; }
    static void registerOn(sqlite3 *handle);

    int size() const { return int(m_pairs.size()); }
    // Integer is 1, text 3, as the engine numbers its storage classes.
    bool contains(int typeA, const char *a, int sizeA, int typeB, const char *b, int sizeB);

private:
    std::unordered_set<std::string> m_pairs;
    std::string m_key; // scratch
    std::string m_lastKey = std::string(1, '\0'); // no key starts so
    bool m_lastFound = false;
    KeyPairSet *m_previous;
};
