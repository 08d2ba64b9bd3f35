#include "engine/read/shared/isotime.h"

#include "engine/read/shared/ascii.h"
#include "engine/read/shared/utc.h"

namespace {

// The number of `count` digits at `at`; -1 where one is no digit.
int digits(QStringView text, qsizetype at, qsizetype count)
{
    int value = 0;
    for (qsizetype i = at; i < at + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// The forms read by hand; false for any other, which Qt reads.
bool quickly(QStringView text, QDateTime &out)
{
    QDate date;
    QTime time;
    if (text.size() < 20 || !isoDateAndTime(text, date, time))
        return false;
    qsizetype at = 19;
    int ms = 0;
    if (text[at] == u'.') {
        if (text.size() < at + 5 || (ms = digits(text, at + 1, 3)) < 0)
            return false;
        at += 4;
    }
    int offset = 0;
    const QStringView zone = text.sliced(at);
    if (zone.size() == 6 && (zone[0] == u'+' || zone[0] == u'-') && zone[3] == u':') {
        const int h = digits(zone, 1, 2), m = digits(zone, 4, 2);
        if (h < 0 || h > 14 || m < 0 || m > 59)
            return false;
        offset = (zone[0] == u'-' ? -1 : 1) * (h * 3600 + m * 60);
    } else if (zone != u"Z") {
        return false;
    }
    time = time.addMSecs(ms);
    const qint64 epochDays = date.toJulianDay() - QDate(1970, 1, 1).toJulianDay();
    out = utc::fromMSecs(epochDays * 86400000 + time.msecsSinceStartOfDay()
                         - qint64(offset) * 1000);
    return true;
}

} // namespace

bool isoDateAndTime(QStringView text, QDate &date, QTime &time)
{
    if (text.size() < 19 || text[4] != u'-' || text[7] != u'-' || text[10] != u'T'
        || text[13] != u':' || text[16] != u':')
        return false;
    const int year = digits(text, 0, 4), month = digits(text, 5, 2), day = digits(text, 8, 2);
    const int hour = digits(text, 11, 2), minute = digits(text, 14, 2);
    const int second = digits(text, 17, 2);
    date = QDate(year, month, day);
    time = QTime(hour, minute, second);
    return year >= 0 && hour >= 0 && minute >= 0 && second >= 0 && date.isValid() && time.isValid();
}

QDateTime isoDateTime(QStringView text)
{
    QDateTime at;
    if (quickly(text, at))
        return at;
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

QDateTime isoDateTimeUtf8(QByteArrayView utf8)
{
    AsciiBuffer buffer;
    if (const std::optional<QStringView> text = asciiText(utf8, buffer))
        return isoDateTime(*text);
    return isoDateTime(QString::fromUtf8(utf8));
}
