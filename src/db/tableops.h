#pragma once
#include "db/schema.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

class Database;

// Whole-table operations of the local database: creating a table from field
// definitions, emptying it, and copying rows in batches between datasets.
namespace TableOps {

// A source dataset held in memory: column names and rows of values in that
// order. Rows read from the local database, from an exchanged table or built
// by hand all travel in this form.
struct RowSet
{
    QStringList columns;
    QList<QVariantList> rows;

    int indexOf(const QString &column) const; // case-insensitive, -1 if absent
};

enum class CopyMode {
    Append, // every source row is added
    AppendUpdate, // rows matched by the destination's key are replaced, the others added
    Delete // destination rows matched by key are removed
};

enum class Mapping {
    ByPosition, // source column i goes to destination column i
    ByName // source columns go to the destination columns of the same name;
    // source columns the destination lacks are ignored
};

struct CopyResult
{
    int inserted = 0;
    int updated = 0;
    int deleted = 0;
};

// Creates the table (and its indexes); raises DbError when it exists.
void createTable(Database &db, const Schema::Table &table);
// Removes every row, keeps the structure.
void emptyTable(Database &db, const QString &table);

// The structure of a table as it stands in the database: its declared form
// when the schema knows it under the same columns, else read from the file
// (types and widths recovered from the declared column types).
Schema::Table structure(Database &db, const QString &table);

RowSet readQuery(Database &db, const QString &sql, const QVariantList &params = {});
RowSet readTable(Database &db, const QString &table);

// Copies the source rows into the destination table in one transaction.
// keyOverride replaces the destination's key for matching (for instance a
// shorter key when removing rows). A text longer than its destination column
// is refused with an AppError naming table, column and width; nothing is cut.
// Raises AppError for a bad mapping or value, DbError for engine errors; on
// any error nothing of the copy remains (unless an outer transaction decides).
CopyResult batchCopy(Database &db, const RowSet &source, const QString &destination, CopyMode mode, Mapping mapping,
                     const QStringList &keyOverride = {});
CopyResult batchCopyTable(Database &db, const QString &sourceTable, const QString &destination, CopyMode mode,
                          Mapping mapping, const QStringList &keyOverride = {});

// Checks one value against a column; returns the value as it is to be bound
// (dates as date-time, booleans as 0/1). Raises AppError when it does not fit.
QVariant fitValue(const QString &table, const Schema::Field &field, const QVariant &value);

}
