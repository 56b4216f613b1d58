#pragma once
#include <QString>

namespace TextUtil {
// Removes leading and trailing blanks (the space character only; tabs and
// line breaks stay).
QString trimBlanks(const QString &text);
}
