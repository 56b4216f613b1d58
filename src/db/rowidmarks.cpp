#include "db/rowidmarks.h"

#include <sqlite3.h>

namespace {
RowidMarks *currentMarks = nullptr;

void markFunc(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (currentMarks && argc == 1 && sqlite3_value_type(argv[0]) == SQLITE_INTEGER)
        currentMarks->mark(sqlite3_value_int64(argv[0]));
    sqlite3_result_int(ctx, 0);
}
}

RowidMarks::RowidMarks(qint64 first, qint64 last)
    : m_first(first),
      m_bits(size_t(last >= first ? last - first + 1 : 0), false),
      m_previous(currentMarks)
{
    currentMarks = this;
}

RowidMarks::~RowidMarks()
{
    currentMarks = m_previous;
}

void RowidMarks::registerOn(sqlite3 *handle)
{
    // Not deterministic: the engine must call it for every row it meets.
    sqlite3_create_function_v2(handle, function(), 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr, markFunc, nullptr,
                               nullptr, nullptr);
}

void RowidMarks::mark(qint64 rowid)
{
    const qint64 at = rowid - m_first;
    if (at >= 0 && at < qint64(m_bits.size()))
        m_bits[size_t(at)] = true;
}

bool RowidMarks::marked(qint64 rowid) const
{
    const qint64 at = rowid - m_first;
    return at >= 0 && at < qint64(m_bits.size()) && m_bits[size_t(at)];
}

QList<QPair<qint64, qint64>> RowidMarks::unmarkedRuns() const
{
    QList<QPair<qint64, qint64>> runs;
    const size_t n = m_bits.size();
    for (size_t i = 0; i < n;) {
        if (m_bits[i]) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j + 1 < n && !m_bits[j + 1])
            ++j;
        runs.append({m_first + qint64(i), m_first + qint64(j)});
        i = j + 1;
    }
    return runs;
}
