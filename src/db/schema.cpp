#include "db/schema.h"

namespace Schema {

int Table::indexOf(const QString &n) const
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields.at(i).name.compare(n, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const Field *Table::field(const QString &n) const
{
    const int i = indexOf(n);
    return i < 0 ? nullptr : &fields.at(i);
}

namespace {
const Table *findIn(const QList<Table> &list, const QString &name)
{
    for (const Table &t : list)
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QString quoted(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}
}

const Table *table(const QString &name)
{
    // Replica tables are built from the others, so they are looked up last.
    for (const QList<Table> *list : {&certificationTables(), &referenceTables(), &controlTables()})
        if (const Table *t = findIn(*list, name))
            return t;
    if (name.startsWith(QLatin1String("REP_"), Qt::CaseInsensitive))
        return findIn(replicaTables(), name);
    return nullptr;
}

QString sqlTypeName(const Field &f)
{
    switch (f.type) {
    case FieldType::Text: return QStringLiteral("VARCHAR(%1)").arg(f.size);
    case FieldType::SmallInt: return QStringLiteral("SMALLINT");
    case FieldType::Integer:
    case FieldType::AutoInc: return QStringLiteral("INTEGER");
    case FieldType::Float: return QStringLiteral("DOUBLE");
    case FieldType::Date: return QStringLiteral("DATE");
    case FieldType::DateTime: return QStringLiteral("DATETIME");
    case FieldType::Boolean: return QStringLiteral("BOOLEAN");
    case FieldType::Memo: return QStringLiteral("TEXT");
    }
    return QStringLiteral("TEXT");
}

QStringList createStatements(const Table &t)
{
    QStringList cols;
    bool autoKey = false;
    for (const Field &f : t.fields) {
        QString c = quoted(f.name) + QLatin1Char(' ') + sqlTypeName(f);
        if (f.type == FieldType::AutoInc && t.key == QStringList{f.name}) {
            c += QStringLiteral(" PRIMARY KEY AUTOINCREMENT");
            autoKey = true;
        } else if (f.required || t.key.contains(f.name, Qt::CaseInsensitive)) {
            c += QStringLiteral(" NOT NULL");
        }
        // A yes/no column is never NULL: rows written without it (the import's
        // certificates) start as false.
        if (f.type == FieldType::Boolean)
            c += QStringLiteral(" DEFAULT 0");
        if (f.type == FieldType::Text || f.type == FieldType::Memo)
            c += QStringLiteral(" COLLATE NOCASE");
        // Widths are enforced by the database itself: an over-long value is
        // refused with a message naming the column, never cut.
        if (f.type == FieldType::Text)
            c += QStringLiteral(" CONSTRAINT %1 CHECK (length(%2) <= %3)")
                     .arg(
                         quoted(QStringLiteral("%1.%2 aceita no máximo %3 caracteres").arg(t.name, f.name).arg(f.size)),
                         quoted(f.name))
                     .arg(f.size);
        cols << c;
    }
    if (!t.key.isEmpty() && !autoKey) {
        QStringList k;
        for (const QString &n : t.key)
            k << quoted(n);
        cols << QStringLiteral("PRIMARY KEY (%1)").arg(k.join(QLatin1String(", ")));
    }
    QStringList out;
    out << QStringLiteral("CREATE TABLE %1 (\n  %2\n)").arg(quoted(t.name), cols.join(QLatin1String(",\n  ")));
    for (const Index &ix : t.indexes) {
        QStringList c;
        for (const QString &n : ix.columns)
            c << quoted(n);
        out << QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                   .arg(quoted(ix.name), quoted(t.name), c.join(QLatin1String(", ")));
    }
    return out;
}

}
