#pragma once
#include <QString>

class QTime;

namespace TextUtil {
// Removes leading and trailing blanks (the space character only; tabs and
// line breaks stay).
QString trimBlanks(const QString &text);
// A time of day as the transfer windows and logs show it: HH:mm:ss.
QString clock(const QTime &time);
// Text from outside as it may be stored and printed: a tab becomes a blank,
// every other control character (C0, DEL, C1, line and paragraph
// separators) goes.
QString withoutControls(const QString &text);
}
