#include "import/datastructitem.h"

#include "base/textutil.h"

QString trimBlanks(const QString &text)
{
    // Most values have nothing to trim; they are asked for many times per record.
    if (text.isEmpty() || (text.front() != QLatin1Char(' ') && text.back() != QLatin1Char(' ')))
        return text;
    return TextUtil::trimBlanks(text);
}

QString TDataStructItem::trimmedValue() const
{
    return trimBlanks(value);
}
