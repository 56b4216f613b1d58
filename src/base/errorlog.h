#pragma once
#include <QDateTime>
#include <QString>

// The daily error log in the program folder, appended to by the common
// exception handler of every window.
namespace ErrorLog {

// programDir/<program>_LOGERROS_dd-MM-yyyy.log for the given day.
QString fileName(const QDate &day = QDate::currentDate());
// Appends one entry; never throws (it runs inside the exception handler).
// False when the file could not be written.
bool append(const QString &message, const QString &className);

}

inline bool appendErrorLog(const QString &message, const QString &className)
{
    return ErrorLog::append(message, className);
}
