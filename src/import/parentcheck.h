#pragma once
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <vector>

namespace Schema {
struct Table;
}

class Database;
class TDataStruct;

// A history record of the file must belong to an item that exists: in the
// database, or written by the same file, before or after it. The common
// case (the item is already there) is settled when the record is written;
// the others are asked again once the whole file is written.
class ParentCheck
{
public:
    explicit ParentCheck(Database &db)
        : m_db(db)
    { }

    // Notes a status record read from the file (records of other tables are
    // ignored). Raises DbError.
    void written(const TDataStruct &record);
    // Notes a row of any table the file wrote: a history record of its item
    // needs no question then.
    void rowWritten(const TDataStruct &record);
    // Asks again for the items not found so far; lists those still missing
    // in logFile of logDir and returns false when there is any. Raises DbError.
    bool finish(const QString &logDir, const QString &logFile);

private:
    struct Pending
    {
        QString table; // the record's table
        QString parent; // the item's table
        QStringList columns;
        QVariantList values;
        int line = 0;
    };
    bool exists(const Pending &p) const;
    const Schema::Table *tableOf(const QString &name);
    Database &m_db;
    std::vector<Pending> m_pending;
    QHash<QString, const Schema::Table *> m_tables;
    QSet<QString> m_written; // table and key, as writtenKey() spells them
};
