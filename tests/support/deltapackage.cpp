#include "support/deltapackage.h"

#include "base/archive.h"
#include "db/database.h"
#include "db/paradoxtable.h"
#include "support/scriptedmessenger.h"

#include <QDir>
#include <QSqlQuery>
#include <QSqlRecord>

namespace DeltaPackage {

QVariantList row(const Schema::Table &table, int seed)
{
    using T = Schema::FieldType;
    const QDate base(2026, 1, 1);
    QVariantList out;
    for (const Schema::Field &f : table.fields) {
        switch (f.type) {
        case T::Text:
        case T::Memo: out << QStringLiteral("v%1").arg(seed).left(f.size > 0 ? f.size : 50); break;
        case T::SmallInt:
        case T::Integer:
        case T::AutoInc: out << seed; break;
        case T::Float: out << seed + 0.5; break;
        case T::Date: out << base.addDays(seed); break;
        case T::DateTime: out << QDateTime(base.addDays(seed), QTime(10, 30)); break;
        case T::Boolean: out << (seed % 2 == 1); break;
        }
    }
    return out;
}

QString write(const QString &dir, const QString &entryName, const QString &suffix, const QList<QVariantList> &rows)
{
    const Schema::Table *t = Schema::table(entryName);
    const QString path = QDir(dir).filePath(entryName + suffix + QStringLiteral(".DB"));
    auto writer = ParadoxWriter::create(path, Paradox::fieldsFor(*t));
    for (const QVariantList &r : rows)
        writer->appendRow(r);
    writer->close();
    return path;
}

bool pack(const QString &dir, const QString &archive)
{
    ScriptedMessenger msg;
    return Archive::zip(QDir(dir).filePath(QStringLiteral("*")), archive, msg);
}

QStringList snapshot(Database &db, const QString &table)
{
    QStringList out;
    QSqlQuery q = db.exec(QStringLiteral("SELECT * FROM ") + table);
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i)
            cells << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
        out << cells.join(QLatin1Char('|'));
    }
    out.sort();
    return out;
}

}
