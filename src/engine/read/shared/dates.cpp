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
// Far longer than any day line ("2024.01.15 segunda-feira"), blanks around it included.
constexpr qsizetype MaxDayLine = 64;

// How a weekday was named: the day (Qt's numbering: Monday 1 … Sunday 7, 0 for none), and
// whether the name is also a word of text ("Do", "mar", "sex", "CN"): such a name counts only
// where it agrees with the date, so a line of text is not taken for a day.
struct Weekday
{
    int day = 0;
    bool mustAgree = false;
};

Weekday weekdayOf(QStringView word)
{
    word = word.trimmed();
    if (word.endsWith(u'.'))
        word.chop(1);
    if (word.isEmpty())
        return {};
    using Names = std::array<QStringView, 7>; // Monday first
    // Whole words, compared ignoring case.
    static const Names Words[] = {
        {u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat", u"Sun"},
        {u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday", u"Sunday"},
        {u"Tues", u"Tues", u"Weds", u"Thur", u"Fri", u"Sat", u"Sun"},
        {u"Mon", u"Tue", u"Wed", u"Thurs", u"Fri", u"Sat", u"Sun"},
        {u"Sen", u"Sel", u"Rab", u"Kam", u"Jum", u"Sab", u"Min"},
        {u"Senin", u"Selasa", u"Rabu", u"Kamis", u"Jumat", u"Sabtu", u"Minggu"},
        {u"月", u"火", u"水", u"木", u"金", u"土", u"日"},
        {u"月曜", u"火曜", u"水曜", u"木曜", u"金曜", u"土曜", u"日曜"},
        {u"月曜日", u"火曜日", u"水曜日", u"木曜日", u"金曜日", u"土曜日", u"日曜日"},
        {u"一", u"二", u"三", u"四", u"五", u"六", u"天"},
        {u"월", u"화", u"수", u"목", u"금", u"토", u"일"},
        {u"월요일", u"화요일", u"수요일", u"목요일", u"금요일", u"토요일", u"일요일"},
        {u"จันทร์", u"อังคาร", u"พุธ", u"พฤหัสบดี", u"ศุกร์", u"เสาร์", u"อาทิตย์"},
        {u"จ", u"อ", u"พ", u"พฤ", u"ศ", u"ส", u"อา"},
        {u"จันทร์", u"อังคาร", u"พุธ", u"พฤหัส", u"ศุกร์", u"เสาร์", u"อาทิตย์"},
    };
    // German, French, Spanish, Portuguese, Italian and Vietnamese, written out and cut short.
    static const Names Agreeing[] = {
        {u"Montag", u"Dienstag", u"Mittwoch", u"Donnerstag", u"Freitag", u"Samstag", u"Sonntag"},
        {u"Mo", u"Di", u"Mi", u"Do", u"Fr", u"Sa", u"So"},
        {u"lundi", u"mardi", u"mercredi", u"jeudi", u"vendredi", u"samedi", u"dimanche"},
        {u"lun", u"mar", u"mer", u"jeu", u"ven", u"sam", u"dim"},
        {u"lunes", u"martes", u"miércoles", u"jueves", u"viernes", u"sábado", u"domingo"},
        {u"lun", u"mar", u"mié", u"jue", u"vie", u"sáb", u"dom"},
        {u"segunda-feira", u"terça-feira", u"quarta-feira", u"quinta-feira", u"sexta-feira",
         u"sábado", u"domingo"},
        {u"seg", u"ter", u"qua", u"qui", u"sex", u"sáb", u"dom"},
        {u"lunedì", u"martedì", u"mercoledì", u"giovedì", u"venerdì", u"sabato", u"domenica"},
        {u"lun", u"mar", u"mer", u"gio", u"ven", u"sab", u"dom"},
        {u"Thứ Hai", u"Thứ Ba", u"Thứ Tư", u"Thứ Năm", u"Thứ Sáu", u"Thứ Bảy", u"Chủ Nhật"},
        {u"Thứ 2", u"Thứ 3", u"Thứ 4", u"Thứ 5", u"Thứ 6", u"Thứ 7", u"CN"},
        {u"Th 2", u"Th 3", u"Th 4", u"Th 5", u"Th 6", u"Th 7", u"CN"},
        {u"T2", u"T3", u"T4", u"T5", u"T6", u"T7", u"CN"},
    };
    // Chinese names a weekday after one of these, and Thai may put "วัน" before it.
    for (QStringView prefix : {u"星期", u"禮拜", u"礼拜", u"週", u"周", u"วัน"}) {
        if (word.size() > prefix.size() && word.startsWith(prefix)) {
            const QStringView rest = word.sliced(prefix.size());
            if (rest == u"日")
                return {7};
            if (const Weekday day = weekdayOf(rest); day.day)
                return day;
        }
    }
    const auto find = [word](const auto &sets, bool mustAgree) -> Weekday {
        for (const Names &set : sets) {
            for (int d = 0; d < 7; ++d) {
                const QStringView name = set[size_t(d)];
                if (name.size() == word.size() && word.compare(name, Qt::CaseInsensitive) == 0)
                    return {d + 1, mustAgree};
            }
        }
        return {};
    };
    if (const Weekday day = find(Words, false); day.day)
        return day;
    return find(Agreeing, true);
}

// What may follow the day: nothing, a weekday in parentheses (ASCII or full-width), or a weekday
// after a blank. A day of -1 when something else stands there.
Weekday trailingWeekday(QStringView rest)
{
    rest = rest.trimmed();
    if (rest.isEmpty())
        return {};
    if ((rest.startsWith(u'(') && rest.endsWith(u')'))
        || (rest.startsWith(u'（') && rest.endsWith(u'）')))
        rest = rest.sliced(1, rest.size() - 2);
    const Weekday day = weekdayOf(rest);
    return day.day > 0 ? day : Weekday {-1};
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
    const Weekday weekday = trailingWeekday(text);
    if (weekday.day < 0)
        return std::nullopt;
    WrittenDate date;
    date.date = QDate(gregorianYear(*y), *m, *d);
    if (!date.date.isValid() || (weekday.mustAgree && date.date.dayOfWeek() != weekday.day))
        return std::nullopt;
    return date;
}

// "Wed, 10/07/2019", "Fri, 1/19/2018", "Wed, 10/07/2562 BE"; without the comma, or with dots or
// dashes between the numbers ("ศ. 28/11/2568", "Mo., 15.01.2024"), the weekday must agree.
std::optional<WrittenDate> weekdayFirst(QStringView text, DayOrder order)
{
    // The weekday ends at a comma, or else at the blank before the first number.
    qsizetype end = -1;
    bool comma = false;
    for (qsizetype i = 1; i < text.size() && i <= 16; ++i) {
        if (text[i] == u',' && i <= 12) {
            end = i;
            comma = true;
            break;
        }
        if (end < 0 && text[i] == u' ' && i + 1 < text.size() && isDigit(text[i + 1]))
            end = i;
    }
    if (end < 1)
        return std::nullopt;
    const Weekday weekday = weekdayOf(text.first(end));
    if (!weekday.day)
        return std::nullopt;
    text = text.sliced(end + 1).trimmed();
    const auto a = number(text, 1, 2);
    const QChar sep = text.isEmpty() ? QChar() : text.front();
    if (!a || (sep != u'/' && sep != u'.' && sep != u'-'))
        return std::nullopt;
    text = text.sliced(1);
    const auto b = number(text, 1, 2);
    if (!b || !take(text, sep))
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
    date.monthFirstAgrees = monthFirst.isValid() && monthFirst.dayOfWeek() == weekday.day;
    date.dayFirstAgrees = dayFirst.isValid() && dayFirst.dayOfWeek() == weekday.day;
    if (weekday.mustAgree || !comma || sep != u'/') {
        // Every language that writes these forms puts the day first: it wins where both agree.
        if (!date.monthFirstAgrees && !date.dayFirstAgrees)
            return std::nullopt;
        date.date = date.dayFirstAgrees ? dayFirst : monthFirst;
        return date;
    }
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
    // Most lines are records: a time is no year, a day line is short and holds no tab.
    if (line.size() < 8 || line.size() > MaxDayLine
        || (isDigit(line[0]) && !(isDigit(line[1]) && isDigit(line[2]))) || line.contains(u'\t'))
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

QString savedOnDate(QStringView line)
{
    qsizetype colon = line.indexOf(u'：');
    const qsizetype ascii = line.indexOf(u':');
    if (colon < 0 || (ascii >= 0 && ascii < colon))
        colon = ascii;
    return (colon < 0 ? line : line.sliced(colon + 1)).trimmed().toString();
}
