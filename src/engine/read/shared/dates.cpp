#include "engine/read/shared/dates.h"

#include "engine/read/shared/scan.h"

#include <array>

using scan::isDigit;
using scan::number;
using scan::take;

namespace {

// A year this far on is one of the Buddhist era, which Thai phones write (2562 is 2019).
constexpr int BuddhistEraFrom = 2400;
constexpr int BuddhistEraOffset = 543;

// The weekday a word names (Qt's numbering: Monday 1 … Sunday 7), 0 for none.
int weekdayOf(QStringView word)
{
    word = word.trimmed();
    if (word.endsWith(u'.'))
        word.chop(1);
    if (word.isEmpty())
        return 0;
    struct Names
    {
        std::array<QStringView, 7> names; // Monday first
    };
    // Whole words, compared ignoring case.
    static const Names Words[] = {
        {{u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat", u"Sun"}},
        {{u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday", u"Sunday"}},
        {{u"Tues", u"Tues", u"Weds", u"Thur", u"Fri", u"Sat", u"Sun"}},
        {{u"Mon", u"Tue", u"Wed", u"Thurs", u"Fri", u"Sat", u"Sun"}},
        {{u"Sen", u"Sel", u"Rab", u"Kam", u"Jum", u"Sab", u"Min"}},
        {{u"Senin", u"Selasa", u"Rabu", u"Kamis", u"Jumat", u"Sabtu", u"Minggu"}},
        {{u"月", u"火", u"水", u"木", u"金", u"土", u"日"}},
        {{u"月曜", u"火曜", u"水曜", u"木曜", u"金曜", u"土曜", u"日曜"}},
        {{u"月曜日", u"火曜日", u"水曜日", u"木曜日", u"金曜日", u"土曜日", u"日曜日"}},
        {{u"一", u"二", u"三", u"四", u"五", u"六", u"天"}},
        {{u"월", u"화", u"수", u"목", u"금", u"토", u"일"}},
        {{u"월요일", u"화요일", u"수요일", u"목요일", u"금요일", u"토요일", u"일요일"}},
        {{u"จันทร์", u"อังคาร", u"พุธ", u"พฤหัสบดี", u"ศุกร์", u"เสาร์", u"อาทิตย์"}},
        {{u"จ", u"อ", u"พ", u"พฤ", u"ศ", u"ส", u"อา"}},
        {{u"จันทร์", u"อังคาร", u"พุธ", u"พฤหัส", u"ศุกร์", u"เสาร์", u"อาทิตย์"}},
    };
    // Chinese names a weekday after one of these, and Thai may put "วัน" before it.
    for (QStringView prefix : {u"星期", u"禮拜", u"礼拜", u"週", u"周", u"วัน"}) {
        if (word.size() > prefix.size() && word.startsWith(prefix)) {
            const QStringView rest = word.sliced(prefix.size());
            if (rest == u"日")
                return 7;
            if (const int day = weekdayOf(rest))
                return day;
        }
    }
    for (const Names &set : Words) {
        for (int d = 0; d < 7; ++d) {
            if (word.compare(set.names[size_t(d)], Qt::CaseInsensitive) == 0)
                return d + 1;
        }
    }
    return 0;
}

// What may follow the day: nothing, a weekday in parentheses (ASCII or full-width), or a weekday
// after a blank. -1 when something else stands there.
int trailingWeekday(QStringView rest)
{
    rest = rest.trimmed();
    if (rest.isEmpty())
        return 0;
    if ((rest.startsWith(u'(') && rest.endsWith(u')'))
        || (rest.startsWith(u'（') && rest.endsWith(u'）')))
        rest = rest.sliced(1, rest.size() - 2);
    const int day = weekdayOf(rest);
    return day > 0 ? day : -1;
}

int gregorianYear(int year)
{
    return year >= BuddhistEraFrom ? year - BuddhistEraOffset : year;
}

// "2024/01/15(月)", "2024.01.15 Monday", "2019. 7. 10. (수)", "2019年3月18日(月)"
std::optional<WrittenDate> yearFirst(QStringView text)
{
    const auto y = number(text, 4, 4);
    if (!y || text.isEmpty())
        return std::nullopt;
    std::optional<int> m, d;
    if (take(text, u'年')) {
        m = number(text, 1, 2);
        if (!m || !take(text, u'月'))
            return std::nullopt;
        d = number(text, 1, 2);
        if (!d || !take(text, u'日'))
            return std::nullopt;
    } else {
        const QChar sep = text[0];
        if (sep != u'/' && sep != u'.' && sep != u'-')
            return std::nullopt;
        text = text.sliced(1);
        // Korean writes "2019. 7. 10.": blanks after the dots.
        const auto blanks = [&text, sep] {
            while (sep == u'.' && text.startsWith(u' '))
                text = text.sliced(1);
        };
        blanks();
        m = number(text, 1, 2);
        if (!m || !take(text, sep))
            return std::nullopt;
        blanks();
        d = number(text, 1, 2);
        if (!d)
            return std::nullopt;
        if (sep == u'.')
            take(text, sep);
    }
    if (trailingWeekday(text) < 0)
        return std::nullopt;
    WrittenDate date;
    date.date = QDate(gregorianYear(*y), *m, *d);
    if (!date.date.isValid())
        return std::nullopt;
    return date;
}

// "Wed, 10/07/2019", "Fri, 1/19/2018", "Wed, 10/07/2562 BE"
std::optional<WrittenDate> weekdayFirst(QStringView text, DayOrder order)
{
    const qsizetype comma = text.indexOf(u',');
    if (comma < 1 || comma > 12)
        return std::nullopt;
    const int weekday = weekdayOf(text.first(comma));
    if (!weekday)
        return std::nullopt;
    text = text.sliced(comma + 1).trimmed();
    const auto a = number(text, 1, 2);
    if (!a || !take(text, u'/'))
        return std::nullopt;
    const auto b = number(text, 1, 2);
    if (!b || !take(text, u'/'))
        return std::nullopt;
    const auto y = number(text, 4, 4);
    if (!y)
        return std::nullopt;
    text = text.trimmed();
    if (!text.isEmpty() && text != u"BE" && text != u"พ.ศ.")
        return std::nullopt;
    const int year = gregorianYear(*y);
    const QDate monthFirst(year, *a, *b);
    const QDate dayFirst(year, *b, *a);
    WrittenDate date;
    date.monthFirstAgrees = monthFirst.isValid() && monthFirst.dayOfWeek() == weekday;
    date.dayFirstAgrees = dayFirst.isValid() && dayFirst.dayOfWeek() == weekday;
    date.ambiguous = monthFirst.isValid() && dayFirst.isValid() && *a != *b;
    if (!date.ambiguous)
        date.date = monthFirst.isValid() ? monthFirst : dayFirst;
    else
        date.date = order == DayOrder::DayFirst ? dayFirst : monthFirst;
    if (!date.date.isValid())
        return std::nullopt;
    return date;
}

} // namespace

std::optional<WrittenDate> parseWrittenDate(QStringView line, DayOrder order)
{
    // Most lines are records: a time is no year, and a date line holds no tab.
    if (line.size() < 8 || (isDigit(line[0]) && !(isDigit(line[1]) && isDigit(line[2])))
        || line.contains(u'\t'))
        return std::nullopt;
    const QStringView text = line.trimmed();
    if (text.size() < 8)
        return std::nullopt;
    return isDigit(text[0]) ? yearFirst(text) : weekdayFirst(text, order);
}

QString dateText(QDate date)
{
    int y = 0, m = 0, d = 0;
    date.getDate(&y, &m, &d);
    if (!date.isValid() || y < 0 || y > 9999)
        return QString();
    const char16_t text[10] = {char16_t(u'0' + y / 1000),
                               char16_t(u'0' + y / 100 % 10),
                               char16_t(u'0' + y / 10 % 10),
                               char16_t(u'0' + y % 10),
                               u'/',
                               char16_t(u'0' + m / 10),
                               char16_t(u'0' + m % 10),
                               u'/',
                               char16_t(u'0' + d / 10),
                               char16_t(u'0' + d % 10)};
    return QString(reinterpret_cast<const QChar *>(text), 10);
}
