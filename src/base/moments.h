#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>

// Dates and moments as the clock on the wall shows them, read and written
// field by field, never converted between zones. A moment the local zone has
// is kept as a local one; one it skips (the midnight summer time jumped over,
// 15/10/2017 in Brazil) is kept with no zone at all, so it still holds that
// day and clock and reads back as written.
namespace Moments {

// The moment of that date and time; invalid when the date is.
QDateTime wallClock(const QDate &date, const QTime &time = QTime(0, 0));
// The same date and time of day, whatever zone the moment carried. A local
// moment that does not exist (in a summer-time gap) keeps its fields.
QDateTime wallClock(const QDateTime &moment);
// A value read from a table or a delta file: a moment, a date, or their ISO
// text ("yyyy-MM-dd", optionally "Thh:mm:ss[.zzz]", "T" or a blank). Invalid
// when it holds none.
QDateTime fromValue(const QVariant &value);
// The text a moment is stored as: "yyyy-MM-ddThh:mm:ss.zzz" of its own
// fields, whatever its zone.
QString storedText(const QDateTime &moment);

}
