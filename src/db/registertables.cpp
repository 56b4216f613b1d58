#include "db/registertables.h"

#include "db/database.h"
#include "db/dberror.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSqlQuery>
#include <algorithm>
#include <array>
#include <vector>

namespace RegisterTables {

namespace {

using Schema::FieldType;

// A column type as a file declares it.
Schema::Field fileField(const QString &name, const QString &declared)
{
    const QString t = declared.toUpper();
    static const QRegularExpression width(QStringLiteral("CHAR\\s*\\(\\s*(\\d+)\\s*\\)"));
    if (t.contains(QLatin1String("BOOL")))
        return {name, FieldType::Boolean, 0, false};
    if (t.contains(QLatin1String("SMALLINT")))
        return {name, FieldType::SmallInt, 0, false};
    if (t.contains(QLatin1String("INT")))
        return {name, FieldType::Integer, 0, false};
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")))
        return {name, FieldType::Float, 0, false};
    if (const QRegularExpressionMatch m = width.match(t); m.hasMatch())
        return {name, FieldType::Text, m.captured(1).toInt(), false};
    return {name, FieldType::Memo, 0, false};
}

Schema::Field serverField(const QString &name, const QString &type)
{
    if (type == QLatin1String("smallint"))
        return {name, FieldType::SmallInt, 0, false};
    if (type == QLatin1String("integer") || type == QLatin1String("bigint"))
        return {name, FieldType::Integer, 0, false};
    if (type == QLatin1String("double precision") || type == QLatin1String("real") || type == QLatin1String("numeric"))
        return {name, FieldType::Float, 0, false};
    return {name, FieldType::Memo, 0, false};
}

Schema::Table described(Database &db, const QString &name)
{
    Schema::Table t;
    t.name = name;
    std::vector<std::pair<int, QString>> key;
    if (db.onServer()) {
        QSqlQuery q = db.exec(
            QStringLiteral("SELECT c.column_name, c.data_type, c.is_nullable, k.ordinal_position "
                           "FROM information_schema.columns c LEFT JOIN (information_schema.key_column_usage k "
                           "JOIN information_schema.table_constraints tc ON tc.constraint_name = k.constraint_name "
                           "AND tc.table_schema = k.table_schema AND tc.constraint_type = 'PRIMARY KEY') "
                           "ON k.table_schema = c.table_schema AND k.table_name = c.table_name "
                           "AND k.column_name = c.column_name "
                           "WHERE c.table_schema = current_schema() AND c.table_name = ? ORDER BY c.ordinal_position"),
            {name.toLower()});
        while (q.next()) {
            Schema::Field f = serverField(q.value(0).toString(), q.value(1).toString());
            f.required = q.value(2).toString() == QLatin1String("NO");
            if (!q.value(3).isNull())
                key.emplace_back(q.value(3).toInt(), f.name);
            t.fields << f;
        }
    } else {
        QSqlQuery q = db.exec(
            QStringLiteral("SELECT name, type, \"notnull\", pk FROM pragma_table_info(?) ORDER BY cid"), {name});
        while (q.next()) {
            Schema::Field f = fileField(q.value(0).toString(), q.value(1).toString());
            f.required = q.value(2).toInt() != 0;
            if (q.value(3).toInt() > 0)
                key.emplace_back(q.value(3).toInt(), f.name);
            t.fields << f;
        }
    }
    std::sort(key.begin(), key.end());
    for (const auto &k : key)
        t.key << k.second;
    return t;
}

// One value as it enters a row's digest: a kind letter, the length, the bytes.
void addValue(QCryptographicHash &row, const Database::Statement::Cell &c, FieldType type)
{
    QByteArray text;
    char kind = 'N';
    const bool real = type == FieldType::Float;
    switch (c.type) {
    case Database::Statement::Cell::Null: break;
    case Database::Statement::Cell::Integer:
        kind = real ? 'R' : 'I';
        text = real ? QByteArray::number(double(c.integer), 'g', 17) : QByteArray::number(c.integer);
        break;
    case Database::Statement::Cell::Real:
        // A whole number in an integer column reads back as a real from
        // some drivers; its value is what counts.
        if (!real && c.real == double(qint64(c.real))) {
            kind = 'I';
            text = QByteArray::number(qint64(c.real));
        } else {
            kind = 'R';
            text = QByteArray::number(c.real, 'g', 17);
        }
        break;
    case Database::Statement::Cell::Text:
    case Database::Statement::Cell::Blob:
        kind = 'T';
        text = QByteArray(c.text, c.size);
        break;
    }
    const std::array<char, 5> head{kind, char(text.size() >> 24), char(text.size() >> 16), char(text.size() >> 8),
                                   char(text.size())};
    row.addData(QByteArrayView(head.data(), qsizetype(head.size())));
    row.addData(text);
}

}

QString sqlName(const Database &db, const QString &name)
{
    return QLatin1Char('"') + (db.onServer() ? name.toLower() : name) + QLatin1Char('"');
}

QList<Schema::Table> of(Database &db)
{
    QList<Schema::Table> out = Schema::tables();
    QStringList others;
    for (const QString &name : db.tables()) {
        if (Schema::table(name) || name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive) ||
            name.compare(QLatin1String(Schema::VersionTable), Qt::CaseInsensitive) == 0)
            continue;
        others << name;
    }
    others.sort(Qt::CaseInsensitive);
    for (const QString &name : std::as_const(others))
        out << described(db, name);
    return out;
}

SumBuilder::SumBuilder(const Schema::Table &table)
    : m_table(table)
{ }

void SumBuilder::add(const std::vector<Database::Statement::Cell> &cells)
{
    QCryptographicHash row(QCryptographicHash::Sha256);
    for (int i = 0; i < m_table.fields.size(); ++i)
        addValue(row, cells.at(size_t(i)), m_table.fields.at(i).type);
    m_rows.push_back(row.result());
}

void readRow(const Database::Statement &q, std::vector<Database::Statement::Cell> &cells)
{
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i] = q.cell(int(i));
}

Sum SumBuilder::result()
{
    std::sort(m_rows.begin(), m_rows.end());
    QCryptographicHash all(QCryptographicHash::Sha256);
    for (const QByteArray &r : m_rows)
        all.addData(r);
    return {m_table.name, qint64(m_rows.size()), all.result().toHex()};
}

Sum sum(Database &db, const Schema::Table &table)
{
    QStringList cols;
    for (const Schema::Field &f : table.fields)
        cols << sqlName(db, f.name);
    Database::Statement &q = db.statement(
        QStringLiteral("SELECT %1 FROM %2").arg(cols.join(QLatin1String(", ")), sqlName(db, table.name)));
    SumBuilder builder(table);
    std::vector<Database::Statement::Cell> cells(size_t(table.fields.size()));
    q.exec();
    for (bool more = q.hasRow(); more; more = q.next()) {
        readRow(q, cells);
        builder.add(cells);
    }
    q.reset();
    return builder.result();
}

}
