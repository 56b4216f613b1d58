#pragma once
#include "db/database.h"
#include "db/schema.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <vector>

// The tables a register holds, whichever engine keeps it, and what each
// holds in a form both engines give alike: a row count and a digest.
namespace RegisterTables {

// The declared tables, then any other table the register holds (made on the
// way by a part of the program), described from the engine's catalogue:
// integers, reals and texts (VARCHAR(n) keeps its width). The file's own
// bookkeeping and the server's schema version table are left out.
QList<Schema::Table> of(Database &db);

// The name of a table or column as written in statements to db: the server
// keeps them in lower case.
QString sqlName(const Database &db, const QString &name);

struct Sum
{
    QString table;
    qint64 rows = 0;
    QByteArray digest; // hex
    bool operator==(const Sum &) const = default;
};

// A table's sum built from its rows as they are read: every row's values
// normalised alike on both engines (texts as UTF-8, integers and 0/1
// booleans as integers, reals to 17 digits, moments in their stored text
// form, NULL apart), each row digested, the row digests sorted and digested
// again: the order each engine keeps its rows in, or sorts case-blind texts
// in, does not count.
class SumBuilder
{
public:
    explicit SumBuilder(const Schema::Table &table);
    // One row: a value per column of the table, in order.
    void add(const std::vector<Database::Statement::Cell> &row);
    Sum result();

private:
    const Schema::Table &m_table;
    std::vector<QByteArray> m_rows;
};

// The values of the current row of a statement, one per cell (texts stay
// valid until the statement moves on).
void readRow(const Database::Statement &q, std::vector<Database::Statement::Cell> &cells);

// The sum of a table, read whole. Raises DbError.
Sum sum(Database &db, const Schema::Table &table);

}
