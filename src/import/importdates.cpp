#include "import/importdates.h"
#include "base/moments.h"
#include "import/datastructitem.h"

#include <QRegularExpression>

namespace ImportDates {

namespace {

// Reads n ASCII digits at pos; false if any is not one.
bool digits(QStringView t, qsizetype pos, qsizetype n, int *out)
{
    int v = 0;
    for (qsizetype i = pos; i < pos + n; ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
    }
    *out = v;
    return true;
}

// The shape d/m/yyyy of the expression below, read without it: every import
// value goes through here, and the expression costs more than the rest of
// the record. Shapes it does not recognise go to the expression.
bool quickDate(QStringView t, QDate *date)
{
    const qsizetype firstSlash = t.indexOf(u'/');
    if (firstSlash < 1 || firstSlash > 2)
        return false;
    const qsizetype secondSlash = t.indexOf(u'/', firstSlash + 1);
    const qsizetype monthLength = secondSlash - firstSlash - 1;
    if (secondSlash < 0 || monthLength < 1 || monthLength > 2 || t.size() - secondSlash - 1 != 4)
        return false;
    int d = 0, m = 0, y = 0;
    if (!digits(t, 0, firstSlash, &d) || !digits(t, firstSlash + 1, monthLength, &m) ||
        !digits(t, secondSlash + 1, 4, &y))
        return false;
    *date = QDate(y, m, d);
    return true;
}

// "d/m/yyyy h:mm" or "d/m/yyyy h:mm:ss", as the moment expression below reads it.
bool quickMoment(QStringView t, QDateTime *moment)
{
    const qsizetype space = t.indexOf(u' ');
    QDate date;
    if (space < 0 || !quickDate(t.left(space), &date))
        return false;
    const QStringView time = t.mid(space + 1);
    const qsizetype colon = time.indexOf(u':');
    if (colon < 1 || colon > 2)
        return false;
    const qsizetype rest = time.size() - colon - 1;
    if (rest != 2 && !(rest == 5 && time[colon + 3] == u':'))
        return false;
    int h = 0, m = 0, s = 0;
    if (!digits(time, 0, colon, &h) || !digits(time, colon + 1, 2, &m) ||
        (rest == 5 && !digits(time, colon + 4, 2, &s)))
        return false;
    const QTime clock(h, m, s);
    *moment = date.isValid() && clock.isValid() ? Moments::wallClock(date, clock) : QDateTime();
    return true;
}

void putNumber(QString &out, int value, int width)
{
    char16_t buf[4];
    for (int i = width - 1; i >= 0; --i) {
        buf[i] = char16_t(u'0' + value % 10);
        value /= 10;
    }
    out.append(reinterpret_cast<const QChar *>(buf), width);
}

// The texts of momentText/displayText for years that need no sign or fifth
// digit; others go through QDateTime::toString.
QString quickText(const QDateTime &moment, bool withTime)
{
    const QDate d = moment.date();
    const QTime t = moment.time();
    QString out;
    out.reserve(19);
    putNumber(out, d.day(), 2);
    out.append(QLatin1Char('/'));
    putNumber(out, d.month(), 2);
    out.append(QLatin1Char('/'));
    putNumber(out, d.year(), 4);
    if (withTime) {
        out.append(QLatin1Char(' '));
        putNumber(out, t.hour(), 2);
        out.append(QLatin1Char(':'));
        putNumber(out, t.minute(), 2);
        out.append(QLatin1Char(':'));
        putNumber(out, t.second(), 2);
    }
    return out;
}

bool quickTextFits(const QDateTime &moment)
{
    if (!moment.isValid())
        return false;
    const int year = moment.date().year();
    return year >= 1 && year <= 9999;
}

}

QDate parseDate(const QString &text)
{
    const QString t = trimBlanks(text);
    QDate quick;
    if (quickDate(t, &quick))
        return quick;
    static const QRegularExpression re(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    const QRegularExpressionMatch m = re.match(t);
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
}

QDateTime parseDateTime(const QString &text)
{
    const QString t = trimBlanks(text);
    QDateTime quick;
    if (quickMoment(t, &quick))
        return quick;
    const QDate d = parseDate(t);
    if (d.isValid())
        return Moments::wallClock(d);
    static const QRegularExpression re(
        QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4}) (\\d{1,2}):(\\d{2})(?::(\\d{2}))?$"));
    const QRegularExpressionMatch m = re.match(t);
    if (!m.hasMatch())
        return {};
    const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return {};
    return Moments::wallClock(date, time);
}

QString momentText(const QDateTime &moment)
{
    if (quickTextFits(moment))
        return quickText(moment, true);
    return moment.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
}

QString displayText(const QDateTime &moment)
{
    if (moment.time() == QTime(0, 0)) {
        if (quickTextFits(moment))
            return quickText(moment, false);
        return moment.toString(QStringLiteral("dd/MM/yyyy"));
    }
    return momentText(moment);
}

QString nowText()
{
    // The text changes once a second; formatting it for every line logged
    // showed in the profile.
    thread_local qint64 second = -1;
    thread_local QString text;
    const qint64 now = QDateTime::currentMSecsSinceEpoch() / 1000;
    if (now != second) {
        second = now;
        text = momentText(QDateTime::fromSecsSinceEpoch(now));
    }
    return text;
}

}
