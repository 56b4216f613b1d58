#include "db/tableops.h"
#include "base/moments.h"

#include "db/database.h"
#include "db/dberror.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <limits>
#include <optional>

namespace {

QString quoted(const QString &identifier)
{
    QString s = identifier;
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// The server made its tables and columns in lower case (unquoted names fold
// so); a quoted name must be spelled that way there.
QString quoted(const Database &db, const QString &identifier)
{
    return quoted(db.onServer() ? identifier.toLower() : identifier);
}

// A key compared with a bound value, NULL matching NULL. The server finds
// no row by its index through IS NOT DISTINCT FROM (each would read the
// whole table), so a key without NULLs is compared with "=", which means
// the same for it.
QString sameAsBound(const Database &db, bool nullable)
{
    if (!db.onServer())
        return QStringLiteral(" IS ?");
    return nullable ? QStringLiteral(" IS NOT DISTINCT FROM ?") : QStringLiteral(" = ?");
}

int indexIn(const QStringList &list, const QString &name)
{
    for (int i = 0; i < list.size(); ++i)
        if (list.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Schema::FieldType typeFromDeclared(const QString &declared, bool autoInc)
{
    using T = Schema::FieldType;
    const QString d = declared.toUpper();
    if (autoInc)
        return T::AutoInc;
    if (d.contains(QLatin1String("SMALLINT")))
        return T::SmallInt;
    if (d.contains(QLatin1String("BOOL")))
        return T::Boolean;
    if (d.contains(QLatin1String("DATETIME")) || d.contains(QLatin1String("TIMESTAMP")))
        return T::DateTime;
    if (d.contains(QLatin1String("DATE")))
        return T::Date;
    if (d.contains(QLatin1String("INT")))
        return T::Integer;
    if (d.contains(QLatin1String("REAL")) || d.contains(QLatin1String("FLOA")) || d.contains(QLatin1String("DOUB")) ||
        d.contains(QLatin1String("NUMERIC")) || d.contains(QLatin1String("DECIMAL")))
        return T::Float;
    if (d.contains(QLatin1String("MEMO")) || d.contains(QLatin1String("CLOB")))
        return T::Memo;
    static const QRegularExpression width(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
    return width.match(d).hasMatch() ? T::Text : T::Memo;
}

bool sameColumns(const Schema::Table &declared, const QStringList &columns)
{
    if (declared.fields.size() != columns.size())
        return false;
    for (int i = 0; i < columns.size(); ++i)
        if (declared.fields.at(i).name.compare(columns.at(i), Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

QString fitError(const QString &table, const QString &column, const QString &what)
{
    return QStringLiteral("Valor inválido para a coluna %1 da tabela %2: %3").arg(column, table, what);
}

QVariant fitInteger(const QString &table, const Schema::Field &f, const QVariant &v, qlonglong lo, qlonglong hi)
{
    bool ok = false;
    qlonglong n = v.toLongLong(&ok);
    if (!ok) {
        const double d = v.toDouble(&ok);
        ok = ok && d == static_cast<double>(static_cast<qlonglong>(d));
        n = static_cast<qlonglong>(d);
    }
    if (!ok)
        throw AppError(fitError(table, f.name, QStringLiteral("\"%1\" não é um número inteiro.").arg(v.toString())));
    if (n < lo || n > hi)
        throw AppError(
            fitError(table, f.name, QStringLiteral("%1 está fora da faixa de %2 a %3.").arg(n).arg(lo).arg(hi)));
    return QVariant(n);
}

} // namespace

namespace TableOps {

int RowSet::indexOf(const QString &column) const
{
    return indexIn(columns, column);
}

QVariant fitValue(const QString &table, const Schema::Field &f, const QVariant &value)
{
    using T = Schema::FieldType;
    if (value.isNull() || !value.isValid())
        return QVariant();
    const bool emptyText = value.typeId() == QMetaType::QString && value.toString().isEmpty();
    switch (f.type) {
    case T::Text: {
        const QString s = value.toString();
        if (f.size > 0 && s.size() > f.size)
            throw AppError(QStringLiteral("O valor \"%1\" tem %2 caracteres e não cabe na coluna %3 da tabela %4 "
                                          "(máximo de %5 caracteres).")
                               .arg(s)
                               .arg(s.size())
                               .arg(f.name, table)
                               .arg(f.size));
        return s;
    }
    case T::Memo: return value.toString();
    case T::SmallInt: return emptyText ? QVariant() : fitInteger(table, f, value, -32768, 32767);
    case T::Integer:
    case T::AutoInc:
        return emptyText
            ? QVariant()
            : fitInteger(table, f, value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    case T::Float: {
        if (emptyText)
            return QVariant();
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (!ok)
            throw AppError(fitError(table, f.name, QStringLiteral("\"%1\" não é um número.").arg(value.toString())));
        return d;
    }
    case T::Boolean: {
        if (emptyText)
            return QVariant();
        if (value.typeId() == QMetaType::QString) {
            const QString s = value.toString().trimmed().toLower();
            if (s == QLatin1String("true") || s == QLatin1String("-1") || s == QLatin1String("1"))
                return 1;
            if (s == QLatin1String("false") || s == QLatin1String("0"))
                return 0;
            throw AppError(
                fitError(table, f.name, QStringLiteral("\"%1\" não é um valor lógico.").arg(value.toString())));
        }
        return value.toBool() ? 1 : 0;
    }
    case T::Date:
    case T::DateTime: {
        // As text of the wall clock: a date or moment handed to the driver
        // would pass through the local zone, where some midnights are missing.
        if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime)
            return Moments::storedText(Moments::fromValue(value));
        if (emptyText)
            return QVariant();
        // Text read back from the database is already in the stored form.
        const QString s = value.toString();
        if (!Moments::fromValue(s).isValid())
            throw AppError(fitError(table, f.name, QStringLiteral("\"%1\" não é uma data.").arg(s)));
        return value;
    }
    }
    return value;
}

void createTable(Database &db, const Schema::Table &table)
{
    Transaction tx(db);
    for (const QString &sql : Schema::createStatements(table, db.engine()))
        db.execute(sql);
    tx.commit();
}

void emptyTable(Database &db, const QString &table)
{
    if (!db.tableExists(table))
        throw DbError(QStringLiteral("A tabela %1 não existe.").arg(table));
    Transaction tx(db);
    db.execute(QStringLiteral("DELETE FROM ") + quoted(db, table));
    tx.commit();
}

static Schema::Table fileStructure(Database &db, const QString &table)
{
    const QString createSql =
        db.scalar(QStringLiteral("SELECT sql FROM sqlite_master WHERE type='table' AND name = ? COLLATE NOCASE"),
                  {table})
            .toString();
    const bool hasAutoInc = createSql.contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive);

    Schema::Table t;
    t.name = db.scalar(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name = ? COLLATE NOCASE"),
                       {table})
                 .toString();
    QList<QPair<int, QString>> keyParts;
    QSqlQuery q = db.exec(QStringLiteral("SELECT name, type, \"notnull\", pk FROM pragma_table_info(?) ORDER BY cid"),
                          {t.name});
    static const QRegularExpression width(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
    while (q.next()) {
        Schema::Field f;
        f.name = q.value(0).toString();
        const QString declared = q.value(1).toString();
        const int pk = q.value(3).toInt();
        const bool autoInc = hasAutoInc && pk > 0 &&
            declared.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        f.type = typeFromDeclared(declared, autoInc);
        f.required = q.value(2).toInt() != 0;
        if (f.type == Schema::FieldType::Text)
            f.size = width.match(declared).captured(1).toInt();
        if (pk > 0)
            keyParts.append({pk, f.name});
        t.fields << f;
    }
    std::sort(keyParts.begin(), keyParts.end());
    for (const auto &k : keyParts)
        t.key << k.second;
    return t;
}


// On the server: columns from the catalogue; text widths from the columns'
// domains, named "TABLE.Column N" there (or from table checks so named, as
// registers of the first version keep them).
static Schema::Table serverStructure(Database &db, const QString &table)
{
    Schema::Table t;
    t.name = table;
    const QString name = table.toLower();
    QHash<QString, int> widths;
    static const QRegularExpression widthName(QStringLiteral("\\.([^. ]+) (\\d+)$"));
    QSqlQuery checks = db.exec(QStringLiteral("SELECT c.conname FROM pg_catalog.pg_constraint c "
                                              "JOIN pg_catalog.pg_class r ON r.oid = c.conrelid "
                                              "WHERE r.relnamespace = current_schema()::regnamespace "
                                              "AND r.relname = ? AND c.contype = 'c'"),
                               {name});
    while (checks.next()) {
        const QRegularExpressionMatch m = widthName.match(checks.value(0).toString());
        if (m.hasMatch())
            widths.insert(m.captured(1).toLower(), m.captured(2).toInt());
    }
    QSqlQuery q = db.exec(
        QStringLiteral("SELECT column_name, data_type, udt_name, is_nullable, is_identity, domain_name "
                       "FROM information_schema.columns WHERE table_schema = current_schema() "
                       "AND table_name = ? ORDER BY ordinal_position"),
        {name});
    using T = Schema::FieldType;
    while (q.next()) {
        Schema::Field f;
        f.name = q.value(0).toString();
        if (const QRegularExpressionMatch m = widthName.match(q.value(5).toString()); m.hasMatch())
            widths.insert(f.name.toLower(), m.captured(2).toInt());
        const QString type = q.value(1).toString();
        const QString udt = q.value(2).toString();
        if (q.value(4).toString() == QLatin1String("YES"))
            f.type = T::AutoInc;
        else if (udt == QLatin1String("citext") || type == QLatin1String("text") ||
                 type.contains(QLatin1String("char")))
            f.type = widths.contains(f.name.toLower()) ? T::Text : T::Memo;
        else if (type == QLatin1String("smallint"))
            f.type = T::SmallInt;
        else if (type == QLatin1String("integer") || type == QLatin1String("bigint"))
            f.type = T::Integer;
        else if (type == QLatin1String("double precision") || type == QLatin1String("real") ||
                 type == QLatin1String("numeric"))
            f.type = T::Float;
        else if (type == QLatin1String("boolean"))
            f.type = T::Boolean;
        else if (type == QLatin1String("date"))
            f.type = T::Date;
        else if (type.startsWith(QLatin1String("timestamp")))
            f.type = T::DateTime;
        else
            f.type = T::Memo;
        f.required = q.value(3).toString() == QLatin1String("NO");
        if (f.type == T::Text)
            f.size = widths.value(f.name.toLower());
        t.fields << f;
    }
    QSqlQuery key = db.exec(QStringLiteral("SELECT k.column_name FROM information_schema.table_constraints c "
                                           "JOIN information_schema.key_column_usage k "
                                           "ON k.constraint_schema = c.constraint_schema "
                                           "AND k.constraint_name = c.constraint_name "
                                           "WHERE c.table_schema = current_schema() AND c.table_name = ? "
                                           "AND c.constraint_type = 'PRIMARY KEY' ORDER BY k.ordinal_position"),
                            {name});
    while (key.next())
        t.key << key.value(0).toString();
    return t;
}

Schema::Table structure(Database &db, const QString &table)
{
    if (!db.tableExists(table))
        throw DbError(QStringLiteral("A tabela %1 não existe.").arg(table));
    const Schema::Table t = db.onServer() ? serverStructure(db, table) : fileStructure(db, table);
    // The declaration carries what a column type cannot (index choices,
    // exact spelling of names); use it when it describes this very table.
    QStringList columns;
    for (const Schema::Field &f : t.fields)
        columns << f.name;
    if (const Schema::Table *declared = Schema::table(table); declared && sameColumns(*declared, columns))
        return *declared;
    return t;
}

RowSet readQuery(Database &db, const QString &sql, const QVariantList &params)
{
    RowSet out;
    QSqlQuery q = db.exec(sql, params);
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i)
        out.columns << rec.fieldName(i);
    while (q.next()) {
        QVariantList row;
        row.reserve(rec.count());
        for (int i = 0; i < rec.count(); ++i)
            row << q.value(i);
        out.rows << row;
    }
    return out;
}

RowSet readTable(Database &db, const QString &table)
{
    const Schema::Table t = structure(db, table);
    QStringList cols;
    for (const auto &f : t.fields)
        cols << quoted(db, f.name);
    return readQuery(db, QStringLiteral("SELECT %1 FROM %2").arg(cols.join(QLatin1Char(',')), quoted(db, t.name)));
}

CopyResult batchCopy(Database &db, const RowSet &source, const QString &destination, CopyMode mode, Mapping mapping,
                     const QStringList &keyOverride)
{
    const Schema::Table dest = structure(db, destination);

    // Destination field index for each source column (-1: not copied).
    QList<int> target(source.columns.size(), -1);
    if (mapping == Mapping::ByPosition) {
        if (source.columns.size() > dest.fields.size())
            throw AppError(QStringLiteral("A origem tem %1 colunas e a tabela %2 apenas %3.")
                               .arg(source.columns.size())
                               .arg(dest.name)
                               .arg(dest.fields.size()));
        for (int i = 0; i < source.columns.size(); ++i)
            target[i] = i;
    } else {
        for (int i = 0; i < source.columns.size(); ++i)
            target[i] = dest.indexOf(source.columns.at(i));
    }

    QList<int> mappedSource; // source indexes that are copied, in source order
    for (int i = 0; i < target.size(); ++i) {
        if (target.at(i) < 0)
            continue;
        for (int j : mappedSource)
            if (target.at(j) == target.at(i))
                throw AppError(QStringLiteral("A coluna %1 da tabela %2 aparece mais de uma vez na origem.")
                                   .arg(dest.fields.at(target.at(i)).name, dest.name));
        mappedSource << i;
    }
    if (mappedSource.isEmpty())
        throw AppError(QStringLiteral("Nenhuma coluna da origem corresponde à tabela %1.").arg(dest.name));

    const QStringList key = keyOverride.isEmpty() ? dest.key : keyOverride;
    QList<int> keySource; // source index of each key column
    if (mode != CopyMode::Append) {
        if (key.isEmpty())
            throw AppError(QStringLiteral("A tabela %1 não tem chave.").arg(dest.name));
        for (const QString &k : key) {
            const int fi = dest.indexOf(k);
            int si = -1;
            for (int i : mappedSource)
                if (target.at(i) == fi)
                    si = i;
            if (fi < 0 || si < 0)
                throw AppError(QStringLiteral("A coluna-chave %1 da tabela %2 não está na origem.").arg(k, dest.name));
            keySource << si;
        }
    }

    QStringList insertCols, placeholders, setCols, whereCols;
    QList<int> setSource;
    for (int i : mappedSource) {
        const QString name = dest.fields.at(target.at(i)).name;
        insertCols << quoted(db, name);
        placeholders << QStringLiteral("?");
        if (!keySource.contains(i)) {
            setCols << quoted(db, name) + QStringLiteral(" = ?");
            setSource << i;
        }
    }
    QStringList nullSafeCols;
    for (int i : keySource) {
        const QString name = quoted(db, dest.fields.at(target.at(i)).name);
        whereCols << name + sameAsBound(db, false);
        nullSafeCols << name + sameAsBound(db, true);
    }

    QSqlQuery insertQ(db.handle());
    // A server's error is told by its SQLSTATE (a key violation among them).
    auto failed = [&db](const QSqlQuery &q) {
        return db.onServer() ? DbError::fromServer(q.lastError()) : DbError(q.lastError());
    };
    auto prepare = [&failed](QSqlQuery &q, const QString &sql) {
        if (!q.prepare(sql))
            throw failed(q);
    };
    if (mode != CopyMode::Delete)
        prepare(
            insertQ,
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(quoted(db, dest.name), insertCols.join(QLatin1Char(',')), placeholders.join(QLatin1Char(','))));
    // The statements that find a row by its key, prepared when first needed:
    // one for keys without NULL, one for the others.
    struct KeyedStatement
    {
        QString sql;
        std::optional<QSqlQuery> query;
    };
    auto keyed = [&](const QStringList &cols) {
        const QString where = cols.join(QStringLiteral(" AND "));
        if (mode == CopyMode::Delete)
            return QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoted(db, dest.name), where);
        if (!setCols.isEmpty())
            return QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                .arg(quoted(db, dest.name), setCols.join(QLatin1Char(',')), where);
        return QStringLiteral("SELECT 1 FROM %1 WHERE %2").arg(quoted(db, dest.name), where);
    };
    KeyedStatement byKey{keyed(whereCols), {}}, byNullableKey{keyed(nullSafeCols), {}};
    auto keyedQuery = [&](const QVariantList &keyValues) -> QSqlQuery & {
        const bool anyNull = std::any_of(keyValues.begin(), keyValues.end(),
                                         [](const QVariant &v) { return v.isNull(); });
        KeyedStatement &k = anyNull && db.onServer() ? byNullableKey : byKey;
        if (!k.query) {
            k.query.emplace(db.handle());
            prepare(*k.query, k.sql);
        }
        return *k.query;
    };

    auto run = [&failed](QSqlQuery &q, const QVariantList &values) {
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values.at(i));
        if (!q.exec())
            throw failed(q);
    };

    CopyResult result;
    Transaction tx(db);
    for (const QVariantList &row : source.rows) {
        if (row.size() != source.columns.size())
            throw AppError(QStringLiteral("Linha da origem com %1 valores para %2 colunas.")
                               .arg(row.size())
                               .arg(source.columns.size()));
        QVariantList fitted(row.size());
        for (int i : mappedSource)
            fitted[i] = fitValue(dest.name, dest.fields.at(target.at(i)), row.at(i));
        QVariantList keyValues;
        for (int i : keySource)
            keyValues << fitted.at(i);

        if (mode == CopyMode::Delete) {
            QSqlQuery &deleteQ = keyedQuery(keyValues);
            run(deleteQ, keyValues);
            result.deleted += deleteQ.numRowsAffected();
            continue;
        }
        if (mode == CopyMode::AppendUpdate) {
            QSqlQuery &q = keyedQuery(keyValues);
            bool found = false;
            if (!setCols.isEmpty()) {
                QVariantList values;
                for (int i : setSource)
                    values << fitted.at(i);
                run(q, values + keyValues);
                found = q.numRowsAffected() > 0;
            } else {
                run(q, keyValues);
                found = q.next();
                q.finish();
            }
            if (found) {
                ++result.updated;
                continue;
            }
        }
        QVariantList values;
        for (int i : mappedSource)
            values << fitted.at(i);
        run(insertQ, values);
        ++result.inserted;
    }
    tx.commit();
    return result;
}

CopyResult batchCopyTable(Database &db, const QString &sourceTable, const QString &destination, CopyMode mode,
                          Mapping mapping, const QStringList &keyOverride)
{
    return batchCopy(db, readTable(db, sourceTable), destination, mode, mapping, keyOverride);
}

} // namespace TableOps
