#include "base/moments.h"

namespace Moments {

QDateTime wallClock(const QDate &date, const QTime &time)
{
    if (!date.isValid())
        return QDateTime();
    const QTime clock = time.isValid() ? time : QTime(0, 0);
    const QDateTime local(date, clock);
    if (local.isValid() && local.date() == date && local.time() == clock)
        return local;
    return QDateTime(date, clock, Qt::UTC);
}

QDateTime wallClock(const QDateTime &moment)
{
    // date() and time() of a local moment in a gap still give what was set.
    if (moment.isNull() || !moment.date().isValid())
        return QDateTime();
    return wallClock(moment.date(), moment.time());
}

QDateTime fromValue(const QVariant &value)
{
    if (value.isNull())
        return QDateTime();
    switch (value.typeId()) {
    case QMetaType::QDateTime: return wallClock(value.toDateTime());
    case QMetaType::QDate: return wallClock(value.toDate());
    default: break;
    }
    const QString s = value.toString().trimmed();
    if (s.size() < 10)
        return QDateTime();
    const QDate date = QDate::fromString(s.left(10), Qt::ISODate);
    if (!date.isValid())
        return QDateTime();
    if (s.size() == 10)
        return wallClock(date);
    if (s.at(10) != QLatin1Char('T') && s.at(10) != QLatin1Char(' '))
        return QDateTime();
    QString clock = s.mid(11);
    if (clock.endsWith(QLatin1Char('Z')))
        clock.chop(1);
    const QTime time = QTime::fromString(clock, Qt::ISODateWithMs);
    return time.isValid() ? wallClock(date, time) : QDateTime();
}

namespace {

void putDigits(char16_t *&out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = char16_t(u'0' + value % 10);
        value /= 10;
    }
    out += width;
}

}

// Written by hand: the import stores millions of these.
QString storedText(const QDateTime &moment)
{
    const QDate d = moment.date();
    const QTime t = moment.time();
    if (d.year() < 1 || d.year() > 9999)
        return QDateTime(d, t, Qt::UTC).toString(Qt::ISODateWithMs).chopped(1); // no zone suffix
    QString out(23, Qt::Uninitialized);
    char16_t *p = reinterpret_cast<char16_t *>(out.data());
    putDigits(p, d.year(), 4);
    *p++ = u'-';
    putDigits(p, d.month(), 2);
    *p++ = u'-';
    putDigits(p, d.day(), 2);
    *p++ = u'T';
    putDigits(p, t.hour(), 2);
    *p++ = u':';
    putDigits(p, t.minute(), 2);
    *p++ = u':';
    putDigits(p, t.second(), 2);
    *p++ = u'.';
    putDigits(p, t.msec(), 3);
    return out;
}

}
