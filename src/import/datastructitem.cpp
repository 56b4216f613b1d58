#include "import/datastructitem.h"

#include "shell/shared/textutil.h"

QString trimBlanks(const QString &text)
{
    return TextUtil::trimBlanks(text);
}

QString TDataStructItem::trimmedValue() const
{
    return trimBlanks(value);
}
