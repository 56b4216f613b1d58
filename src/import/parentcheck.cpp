#include "import/parentcheck.h"

#include "db/database.h"
#include "db/schema.h"
#include "import/datastruct.h"
#include "import/postimport.h"

namespace {

// A key value as both engines compare it alike: a text, or an integer in its
// plain decimal form (the form it is stored in). Others are asked.
bool plainKeyValue(const TDataStructItem *item, QString *out)
{
    if (!item || item->sequence)
        return false;
    *out = item->trimmedValue();
    if (out->isEmpty())
        return false;
    switch (item->type) {
    case TFieldType::Text: return true;
    case TFieldType::SmallInt:
    case TFieldType::Integer: {
        bool ok = false;
        const int n = out->toInt(&ok);
        return ok && QString::number(n) == *out;
    }
    default: return false;
    }
}

// A table and key values, letters of plain ASCII in one case. Two keys
// spelled alike are the same row on both engines; a key beyond ASCII is not
// spelled (the engines fold those letters differently), and is asked.
QString writtenKey(const QString &table, const QStringList &values)
{
    QString key = table.toUpper();
    for (const QString &v : values) {
        key += QChar(0x1f);
        for (const QChar c : v) {
            if (c.unicode() >= 0x80)
                return {};
            key += c.unicode() >= 'A' && c.unicode() <= 'Z' ? QChar(c.unicode() + ('a' - 'A')) : c;
        }
    }
    return key;
}

}

const Schema::Table *ParentCheck::tableOf(const QString &name)
{
    auto it = m_tables.constFind(name);
    if (it == m_tables.cend())
        it = m_tables.insert(name, Schema::table(name));
    return *it;
}

void ParentCheck::rowWritten(const TDataStruct &record)
{
    const Schema::Table *own = tableOf(record.tableName());
    if (!own || own->key.isEmpty())
        return;
    QStringList values;
    for (const QString &column : own->key) {
        QString value;
        if (!plainKeyValue(record.itemByName(column), &value))
            return;
        values << value;
    }
    if (const QString key = writtenKey(own->name, values); !key.isEmpty())
        m_written.insert(key);
}

void ParentCheck::written(const TDataStruct &record)
{
    if (record.parentTableName().isEmpty())
        return;
    const Schema::Table *parent = tableOf(record.parentTableName());
    if (!parent || parent->key.isEmpty())
        return;
    Pending p;
    p.table = record.tableName();
    p.parent = parent->name;
    QStringList plain; // empty when a value is not plain
    for (const QString &column : parent->key) {
        const TDataStructItem *item = record.itemByName(column);
        if (!item || item->sequence)
            return; // a record that does not name its item whole is not judged here
        p.columns << column;
        p.values << item->trimmedValue();
        if (!p.line && item->inFile())
            p.line = item->lineNumber;
        QString value;
        if (plain.size() == p.columns.size() - 1 && plainKeyValue(item, &value))
            plain << value;
    }
    const QString key = plain.size() == p.columns.size() ? writtenKey(p.parent, plain) : QString();
    // Written by this file, the item is there: the usual case, unasked.
    if ((!key.isEmpty() && m_written.contains(key)) || exists(p))
        return;
    m_pending.push_back(std::move(p));
}

bool ParentCheck::exists(const Pending &p) const
{
    QString sql = QStringLiteral("select 1 from ") + p.parent + QStringLiteral(" where ");
    for (int i = 0; i < p.columns.size(); ++i)
        sql += (i ? QStringLiteral(" and ") : QString()) + p.columns.at(i) + QStringLiteral(" = ?");
    Database::Statement &q = m_db.statement(sql);
    q.exec(p.values);
    const bool found = q.hasRow();
    q.reset();
    return found;
}

bool ParentCheck::finish(const QString &logDir, const QString &logFile)
{
    QStringList lines;
    for (const Pending &p : m_pending) {
        if (exists(p))
            continue;
        QStringList key;
        for (int i = 0; i < p.columns.size(); ++i)
            key << p.columns.at(i) + QStringLiteral(": ") + p.values.at(i).toString();
        lines << QStringLiteral("O registro de histórico da tabela %1 não tem o item correspondente na tabela %2, "
                                "nem na base de dados nem no arquivo (%3). Verifique a linha %4 do arquivo txt.")
                     .arg(p.table, p.parent, key.join(QStringLiteral(", ")))
                     .arg(p.line);
    }
    m_pending.clear();
    if (lines.isEmpty())
        return true;
    PostImport::appendLog(logDir, logFile, lines);
    return false;
}
