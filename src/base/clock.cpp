#include "base/clock.h"

#include <QtGlobal>

namespace {
QDate g_fixed;
}

namespace Clock {

QDate today()
{
    if (g_fixed.isValid())
        return g_fixed;
    const QByteArray forced = qgetenv(TodayVariable);
    if (!forced.isEmpty()) {
        const QDate day = QDate::fromString(QString::fromLatin1(forced), Qt::ISODate);
        if (day.isValid())
            return day;
    }
    // The calendar date of the machine, taken once as a date: no moment is
    // converted between zones on the way.
    return QDate::currentDate();
}

void setToday(const QDate &day)
{
    g_fixed = day;
}

}
