#include "db/keypairset.h"
#include "db/database.h"

#include <sqlite3.h>

namespace {
KeyPairSet *currentApprovals = nullptr;

// Storage class, length and bytes, text folded as NOCASE folds it.
bool appendKey(std::string &out, int type, const char *p, int n)
{
    if ((type != SQLITE_INTEGER && type != SQLITE_TEXT) || n < 0)
        return false;
    out += char(type);
    out.append(reinterpret_cast<const char *>(&n), sizeof n);
    const size_t at = out.size();
    out.append(p, size_t(n));
    if (type == SQLITE_TEXT)
        for (size_t i = at; i < out.size(); ++i)
            if (out[i] >= 'A' && out[i] <= 'Z')
                out[i] = char(out[i] + ('a' - 'A'));
    return true;
}

void inFunc(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    bool found = false;
    if (currentApprovals && argc == 2) {
        // Types before the text calls, which convert. The text form of an
        // integer is its decimal digits, as when the set was filled.
        const int ta = sqlite3_value_type(argv[0]), tb = sqlite3_value_type(argv[1]);
        const auto *a = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
        const int na = sqlite3_value_bytes(argv[0]);
        const auto *b = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
        const int nb = sqlite3_value_bytes(argv[1]);
        found = a && b && currentApprovals->contains(ta, a, na, tb, b, nb);
    }
    sqlite3_result_int(ctx, found ? 1 : 0);
}

bool appendCell(std::string &out, const Database::Statement::Cell &c)
{
    using Cell = Database::Statement::Cell;
    if (c.type == Cell::Integer) {
        const std::string digits = std::to_string(c.integer);
        return appendKey(out, SQLITE_INTEGER, digits.data(), int(digits.size()));
    }
    return c.type == Cell::Text && appendKey(out, SQLITE_TEXT, c.text, c.size);
}
}

KeyPairSet::KeyPairSet(Database &db, const QString &sql, const QVariantList &params)
    : m_previous(currentApprovals)
{
    Database::Statement &q = db.statement(sql);
    try {
        for (q.exec(params); q.hasRow(); q.next()) {
            m_key.clear();
            if (appendCell(m_key, q.cell(0)) && appendCell(m_key, q.cell(1)))
                m_pairs.insert(m_key);
        }
    } catch (...) {
        q.reset();
        throw;
    }
    q.reset();
    currentApprovals = this;
}

KeyPairSet::~KeyPairSet()
{
    currentApprovals = m_previous;
}

void KeyPairSet::registerOn(sqlite3 *handle)
{
    // Not deterministic: the set changes between runs of a statement.
    sqlite3_create_function_v2(handle, function(), 2, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr, inFunc, nullptr,
                               nullptr, nullptr);
}

bool KeyPairSet::contains(int typeA, const char *a, int sizeA, int typeB, const char *b, int sizeB)
{
    m_key.clear();
    if (!appendKey(m_key, typeA, a, sizeA) || !appendKey(m_key, typeB, b, sizeB))
        return false;
    // Rows of one certificate mostly come together: the same answer again.
    if (m_key != m_lastKey) {
        m_lastKey = m_key;
        m_lastFound = m_pairs.count(m_key) != 0;
    }
    return m_lastFound;
}
