#pragma once
#include <QString>
#include <QVariantMap>

class Database;

// Pieces shared by the filters of the selection dialogs.
namespace SelectionSql {

// A statement ready for SelectionListModel::open(): its text without the
// ordering, the ordering clause and the bound values (keys without ':').
struct Statement
{
    QString sql;
    QString orderBy;
    QVariantMap params;
};

// A LIKE pattern that finds `text` anywhere (or at the start) as typed: the
// wildcard characters of the text itself match only themselves. Use with
// the clause `Escape`. Names are compared through UCase on both sides: the
// engine's own LIKE ignores the case of unaccented letters only.
QString contains(const QString &text);
QString startsWith(const QString &text);
inline const QString Escape = QStringLiteral(" escape '\\' ");

// An entry of a list that shows a name and keeps a code.
struct Entry
{
    QString code;
    QString name;
};
QList<Entry> entries(Database &db, const QString &sql);

// "SELECT CODIGOPAIS, NOMEPAIS FROM PAIS ORDER BY NOMEPAIS"
QList<Entry> countries(Database &db);

}
