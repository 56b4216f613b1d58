#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>

// Date texts of the import: the file's dd/mm/yyyy form and the text the
// import itself keeps for a moment (dd/mm/yyyy hh:mm:ss).
namespace ImportDates {

// Day/month/four-digit year separated by "/" (one or two digits for day and
// month); blanks around are allowed. Impossible dates (31/02) give an invalid date.
QDate parseDate(const QString &text);
// A file date at 00:00, or a moment in the text form below; invalid otherwise.
QDateTime parseDateTime(const QString &text);
// "dd/MM/yyyy hh:mm:ss"
QString momentText(const QDateTime &moment);
// "dd/MM/yyyy" for a moment at midnight, else the moment text.
QString displayText(const QDateTime &moment);
// momentText of the current date and time.
QString nowText();

}
