#include "base/textutil.h"

#include <QTime>

namespace TextUtil {

QString trimBlanks(const QString &text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && text.at(e - 1) == QLatin1Char(' '))
        --e;
    return text.mid(b, e - b);
}

QString clock(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

}
