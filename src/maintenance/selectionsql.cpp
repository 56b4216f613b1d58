#include "maintenance/selectionsql.h"

#include "db/database.h"

#include <QSqlQuery>

namespace SelectionSql {

namespace {
QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            out.append(QLatin1Char('\\'));
        out.append(c);
    }
    return out;
}
}

QString contains(const QString &text)
{
    return QLatin1Char('%') + escaped(text) + QLatin1Char('%');
}

QString startsWith(const QString &text)
{
    return escaped(text) + QLatin1Char('%');
}

QList<Entry> entries(Database &db, const QString &sql)
{
    QList<Entry> out;
    QSqlQuery q = db.exec(sql);
    while (q.next())
        out.append({q.value(0).toString(), q.value(1).toString()});
    return out;
}

QList<Entry> countries(Database &db)
{
    return entries(db, QStringLiteral("SELECT CODIGOPAIS, NOMEPAIS FROM PAIS ORDER BY NOMEPAIS"));
}

}
