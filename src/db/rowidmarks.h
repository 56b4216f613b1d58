#pragma once
#include <QList>
#include <QPair>
#include <QtGlobal>

#include <vector>

struct sqlite3;

// Rowids of one table, marked by a running statement through the SQL
// function function()(rowid), which always answers false: a statement may
// put it first in an OR without changing what it selects. The function is
// on every connection; it marks into the newest RowidMarks alive (none:
// it marks nothing). Rowids outside [first, last] and NULL are ignored.
class RowidMarks
{
public:
    RowidMarks(qint64 first, qint64 last);
    ~RowidMarks();
    RowidMarks(const RowidMarks &) = delete;
    RowidMarks &operator=(const RowidMarks &) = delete;

    static const char *function() { return "corvane_rowid_mark"; }
    static void registerOn(sqlite3 *handle);

    void mark(qint64 rowid);
    bool marked(qint64 rowid) const;
    // The runs [from, to] of rowids in range never marked, ascending.
    QList<QPair<qint64, qint64>> unmarkedRuns() const;

private:
    qint64 m_first;
    std::vector<bool> m_bits;
    RowidMarks *m_previous;
};
