#pragma once
#include "db/engine.h"

#include <QList>
#include <QString>
#include <QStringList>

// The one declaration of the local database: tables, columns in order, types,
// widths, required flags and keys. SQLite tables, replica tables, exchanged
// (Paradox) table definitions and checks of imported values derive from it.
namespace Schema {

enum class FieldType {
    Text, // size = maximum characters
    SmallInt, // 16 bits
    Integer, // 32 bits
    Float,
    Date,
    DateTime,
    Boolean, // stored 0/1
    AutoInc, // integer assigned by the database on insert
    Memo // unbounded text (reference tables delivered as-is)
};

struct Field
{
    QString name;
    FieldType type = FieldType::Text;
    int size = 0; // text width; 0 for other types
    bool required = false;
};

struct Index
{
    QString name;
    QStringList columns;
};

struct Table
{
    QString name;
    QList<Field> fields;
    QStringList key; // primary key columns, in order; may be empty
    QList<Index> indexes; // secondary indexes (e.g. on SeqEvento, for max + 1 numbering)

    const Field *field(const QString &name) const; // case-insensitive
    int indexOf(const QString &name) const; // case-insensitive, -1 if absent
};

// One entry of the remittance table list: the table as spelled in the list
// (stem of delta file names), its progress message, the row key matching a
// replica row, and the key used when matching exclusions.
struct RemittanceEntry
{
    QString name;
    QString message;
    QStringList key;
    QStringList exclusionKey;
};

// Every table of the local database, replicas included.
const QList<Table> &tables();
// Certification (2.1-style) tables, reference tables and control tables alone.
const QList<Table> &certificationTables();
const QList<Table> &referenceTables();
const QList<Table> &controlTables();
// The 29 entries of the remittance table list, in order.
const QList<RemittanceEntry> &remittanceList();
// Replica table "REP_" + upper-case name for each remittance entry.
const QList<Table> &replicaTables();

const Table *table(const QString &name); // case-insensitive
QString sqlTypeName(const Field &f, DbEngine engine = DbEngine::Sqlite);
// The type a column is made with: on the server a text column's is a domain
// of its own, named as the file names its width check ("TABLE.Column N").
QString columnType(const Table &t, const Field &f, DbEngine engine);
// That domain, made unless it exists.
QString createWidthDomain(const QString &name, int size);
// The statements that make a table: on the server its text columns' domains
// first, then CREATE TABLE, then its indexes.
QStringList createStatements(const Table &t, DbEngine engine = DbEngine::Sqlite);
// Its indexes alone, for a table filled before they are made.
QStringList indexStatements(const Table &t, DbEngine engine);

// The schema versions this program reads and writes, a file's and a
// server's. A register records the version that made it; one made by another
// version is refused on open. On a file, a version 0 is one made before
// versions were recorded; on a server, version 1 kept the text widths as
// checks of the tables: both are brought up to date when opened.
inline constexpr int Version = 1;
inline constexpr int ServerVersion = 2;
inline constexpr int version(DbEngine engine)
{
    return engine == DbEngine::Postgres ? ServerVersion : Version;
}
// Where a server register records its version (no table of the declaration).
inline constexpr const char *VersionTable = "corvane_esquema";
// What a server database needs before the tables: the case-blind text type
// and the SQL functions registered on every file connection.
QStringList serverPrelude();

}
