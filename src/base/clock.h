#pragma once
#include <QDate>

// The calendar day the program takes as today. Everything that counts days
// against today (expiring certificates, the daily copy of the database) asks
// here, so a test can fix the day: setToday() in-process, or the variable
// CORVANE_HOJE (yyyy-mm-dd) for the programs a test starts.
namespace Clock {

QDate today();
// An invalid date goes back to the system's calendar.
void setToday(const QDate &day);

inline constexpr const char *TodayVariable = "CORVANE_HOJE";

}
