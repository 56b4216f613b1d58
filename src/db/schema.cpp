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

// Each width check is named "TABLE.Column aceita no máximo N caracteres", the
// text the user is shown. The server keeps names of at most 63 bytes: there
// it is "TABLE.Column N", the name of the column's domain and of its check,
// and its errors are told in the long form (DbError::fromServer).
QString widthCheckName(const QString &table, const Field &f, bool server)
{
    if (server)
        return QStringLiteral("%1.%2 %3").arg(table, f.name).arg(f.size);
    return QStringLiteral("%1.%2 aceita no máximo %3 caracteres").arg(table, f.name).arg(f.size);
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

QString sqlTypeName(const Field &f, DbEngine engine)
{
    if (engine == DbEngine::Postgres) {
        switch (f.type) {
        // citext compares, indexes and matches LIKE without regard to case,
        // as the file's NOCASE columns do.
        case FieldType::Text:
        case FieldType::Memo: return QStringLiteral("citext");
        case FieldType::SmallInt:
        case FieldType::Boolean: return QStringLiteral("smallint");
        case FieldType::Integer:
        case FieldType::AutoInc: return QStringLiteral("integer");
        case FieldType::Float: return QStringLiteral("double precision");
        // Moments keep the text form the file holds: they bind, read back
        // and compare exactly as there.
        case FieldType::Date:
        case FieldType::DateTime: return QStringLiteral("text");
        }
        return QStringLiteral("text");
    }
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

QString columnType(const Table &t, const Field &f, DbEngine engine)
{
    if (engine == DbEngine::Postgres && f.type == FieldType::Text)
        return quoted(widthCheckName(t.name, f, true));
    return sqlTypeName(f, engine);
}

QString createWidthDomain(const QString &name, int size)
{
    // A table made again (a reference update, a migration) finds its
    // domains made: they are named after the column and its width.
    return QStringLiteral("DO $$BEGIN CREATE DOMAIN %1 AS citext CONSTRAINT %1 CHECK (length(VALUE) <= %2); "
                          "EXCEPTION WHEN duplicate_object THEN NULL; END$$")
        .arg(quoted(name))
        .arg(size);
}

QStringList indexStatements(const Table &t, DbEngine engine)
{
    const bool server = engine == DbEngine::Postgres;
    const auto name = [server](const QString &n) { return quoted(server ? n.toLower() : n); };
    QStringList out;
    for (const Index &ix : t.indexes) {
        QStringList c;
        for (const QString &n : ix.columns)
            c << name(n);
        out << QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                   .arg(name(ix.name), name(t.name), c.join(QLatin1String(", ")));
    }
    return out;
}

QStringList createStatements(const Table &t, DbEngine engine)
{
    const bool server = engine == DbEngine::Postgres;
    // The server folds unquoted names to lower case: its tables and columns
    // are made so, and the statements' unquoted names find them.
    const auto name = [server](const QString &n) { return quoted(server ? n.toLower() : n); };
    QStringList out;
    QStringList cols;
    bool autoKey = false;
    for (const Field &f : t.fields) {
        QString c = name(f.name) + QLatin1Char(' ') + columnType(t, f, engine);
        if (f.type == FieldType::AutoInc && t.key == QStringList{f.name}) {
            c += server ? QStringLiteral(" GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY")
                        : QStringLiteral(" PRIMARY KEY AUTOINCREMENT");
            autoKey = true;
        } else if (f.required || t.key.contains(f.name, Qt::CaseInsensitive)) {
            c += QStringLiteral(" NOT NULL");
        }
        // A yes/no column is never NULL: rows written without it (the import's
        // certificates) start as false.
        if (f.type == FieldType::Boolean)
            c += QStringLiteral(" DEFAULT 0");
        if (!server && (f.type == FieldType::Text || f.type == FieldType::Memo))
            c += QStringLiteral(" COLLATE NOCASE");
        // Widths are enforced by the database itself: an over-long value is
        // refused with a message naming the column, never cut. On the server
        // the check belongs to the column's domain: a table's own checks are
        // compiled again by every statement that writes the table, a
        // domain's once a session, and writes then cost about half.
        if (f.type == FieldType::Text) {
            if (server)
                out << createWidthDomain(widthCheckName(t.name, f, true), f.size);
            else
                c += QStringLiteral(" CONSTRAINT %1 CHECK (length(%2) <= %3)")
                         .arg(quoted(widthCheckName(t.name, f, false)), name(f.name))
                         .arg(f.size);
        }
        cols << c;
    }
    if (!t.key.isEmpty() && !autoKey) {
        QStringList k;
        for (const QString &n : t.key)
            k << name(n);
        cols << QStringLiteral("PRIMARY KEY (%1)").arg(k.join(QLatin1String(", ")));
    }
    out << QStringLiteral("CREATE TABLE %1 (\n  %2\n)").arg(name(t.name), cols.join(QLatin1String(",\n  ")));
    out << indexStatements(t, engine);
    return out;
}

QStringList serverPrelude()
{
    return {
        QStringLiteral("CREATE EXTENSION IF NOT EXISTS citext"),
        // Upper case by the Unicode rules whatever the database's locale.
        QStringLiteral("CREATE FUNCTION ucase(text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE "
                       "AS $$SELECT upper($1 COLLATE \"und-x-icu\")$$"),
        // Quoted as the statements quote it (ISNULL is a keyword on both).
        QStringLiteral("CREATE FUNCTION \"ISNULL\"(anyelement) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE "
                       "AS $$SELECT CASE WHEN $1 IS NULL THEN 1 ELSE 0 END$$"),
        QStringLiteral("CREATE FUNCTION \"ISNULL\"(text) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE "
                       "AS $$SELECT CASE WHEN $1 IS NULL THEN 1 ELSE 0 END$$"),
        // The condition may be a comparison or a 0/1 number, as on the file.
        QStringLiteral("CREATE FUNCTION iif(boolean, anycompatible, anycompatible) RETURNS anycompatible "
                       "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$SELECT CASE WHEN $1 THEN $2 ELSE $3 END$$"),
        QStringLiteral("CREATE FUNCTION iif(integer, anycompatible, anycompatible) RETURNS anycompatible "
                       "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$SELECT CASE WHEN $1 <> 0 THEN $2 ELSE $3 END$$"),
        QStringLiteral("CREATE TABLE %1 (versao integer NOT NULL)").arg(QLatin1String(VersionTable)),
    };
}

}
