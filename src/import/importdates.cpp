#include "import/importdates.h"
#include "import/datastructitem.h"

#include <QRegularExpression>

namespace ImportDates {

QDate parseDate(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    const QRegularExpressionMatch m = re.match(trimBlanks(text));
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
}

QDateTime parseDateTime(const QString &text)
{
    const QString t = trimBlanks(text);
    const QDate d = parseDate(t);
    if (d.isValid())
        return QDateTime(d, QTime(0, 0));
    static const QRegularExpression re(
        QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4}) (\\d{1,2}):(\\d{2})(?::(\\d{2}))?$"));
    const QRegularExpressionMatch m = re.match(t);
    if (!m.hasMatch())
        return {};
    const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

QString momentText(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
}

QString displayText(const QDateTime &moment)
{
    if (moment.time() == QTime(0, 0))
        return moment.toString(QStringLiteral("dd/MM/yyyy"));
    return momentText(moment);
}

}
