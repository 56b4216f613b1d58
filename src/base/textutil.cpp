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


QString withoutControls(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\t'))
            out += QLatin1Char(' ');
        else if (c.category() != QChar::Other_Control && c.category() != QChar::Separator_Line &&
                 c.category() != QChar::Separator_Paragraph)
            out += c;
    }
    return out;
}

}
