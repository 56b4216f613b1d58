#pragma once
#include <QString>

class QTime;

namespace TextUtil {
// Removes leading and trailing blanks (the space character only; tabs and
// line breaks stay).
QString trimBlanks(const QString &text);
// A time of day as the transfer windows and logs show it: HH:mm:ss.
QString clock(const QTime &time);
}
