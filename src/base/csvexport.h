#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// Lists written for office spreadsheets set to Portuguese: UTF-8 with a
// byte-order mark, ";" between fields, CRLF between records, dates as
// dd/mm/yyyy and decimals with a comma. A field holding ";", a quote or a
// line break is quoted, its quotes doubled.
namespace CsvExport {

struct Table
{
    QStringList headers;
    QList<QVariantList> rows;
};

// One value as it goes into a field (before quoting): QDate as dd/mm/yyyy,
// QDateTime as dd/mm/yyyy hh:mm:ss (as held, no zone conversion), floating
// numbers with a decimal comma and no grouping, the rest as text. A text
// that a spreadsheet would take for a formula gets a leading apostrophe.
QString cellText(const QVariant &value);
// One field, quoted when it needs to be.
QString field(const QString &text);
// The whole file's bytes.
QByteArray encode(const Table &table);
// Writes the file in one step (an interrupted write leaves no partial
// file). Returns an empty string, or the reason it could not be written.
QString write(const QString &path, const Table &table);

}
