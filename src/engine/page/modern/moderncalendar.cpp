#include "engine/page/modern/moderncalendar.h"

#include "engine/page/htmltext.h"
#include "engine/page/modern/modernpage.h"

#include <QStringBuilder>
#include <algorithm>
#include <span>

namespace {

constexpr int Shades = 4;

// Sunday first, as calendars here are printed.
const char16_t *const WeekdayHead
    = u"<div class=\"wk\" aria-hidden=\"true\"><span>日</span><span>月</span><span>火</span>"
      u"<span>水</span><span>木</span><span>金</span><span>土</span></div>\n";

QString number(qint64 n)
{
    return QString::number(n);
}

// One month's grid: its days from the 1st, those in `days` (all of this month) as links.
void monthGrid(QDate first, std::span<const ChatStats::DayCount> days, qint32 busiest, QString &out)
{
    qint32 total = 0;
    for (const ChatStats::DayCount &d : days)
        total += d.count;
    out += QStringLiteral("<div class=\"cm\"><h3>") % number(first.month())
        % QStringLiteral("月 <span class=\"cnt\">") % number(total)
        % QStringLiteral(" 件</span></h3>\n")
        % QStringView(WeekdayHead)
        // The 1st's column: its weekday, Sunday 0.
        % QStringLiteral("<div class=\"cd o") % number(first.dayOfWeek() % 7)
        % QStringLiteral("\">");
    const qint64 start = first.toJulianDay();
    size_t next = 0;
    for (int day = 1; day <= first.daysInMonth(); ++day) {
        if (next < days.size() && days[next].day == start + day - 1) {
            const qint32 count = days[next++].count;
            const QDate date = first.addDays(day - 1);
            // Shades 1 to 4 by the share of the chat's busiest day.
            const qint32 shade = (count * Shades + busiest - 1) / busiest;
            out += QStringLiteral("<a class=\"q") % number(shade) % QStringLiteral("\" href=\"#")
                % ChatStats::dayAnchor(date) % QStringLiteral("\" title=\"") % number(date.year())
                % u'年' % number(date.month()) % u'月' % number(day) % QStringLiteral("日 ")
                % number(count) % QStringLiteral("件\">") % number(day) % QStringLiteral("<span> ")
                % number(count) % QStringLiteral("件</span></a>");
        } else {
            out += QStringLiteral("<span>") % number(day) % QStringLiteral("</span>");
        }
    }
    out += QStringLiteral("</div></div>\n");
}

void yearFold(std::span<const ChatStats::DayCount> days, bool open, qint32 busiest, QString &out)
{
    const int year = QDate::fromJulianDay(days.front().day).year();
    qint32 total = 0;
    for (const ChatStats::DayCount &d : days)
        total += d.count;
    out += QStringLiteral("<details class=\"cy\"") % (open ? QStringLiteral(" open") : QString())
        % QStringLiteral("><summary>") % number(year) % QStringLiteral("年 <span class=\"cnt\">")
        % number(total) % QStringLiteral(" 件</span></summary>\n<div class=\"cms\">\n");
    for (size_t m = 0; m < days.size();) {
        const QDate date = QDate::fromJulianDay(days[m].day);
        size_t end = m + 1;
        while (end < days.size() && QDate::fromJulianDay(days[end].day).month() == date.month())
            ++end;
        monthGrid(QDate(date.year(), date.month(), 1), days.subspan(m, end - m), busiest, out);
        m = end;
    }
    out += QStringLiteral("</div></details>\n");
}

} // namespace

bool hasCalendar(const ModernPageInfo &info)
{
    return !info.firstDate.isEmpty() && !info.speakers.isEmpty();
}

void writeCalendarSection(const ChatStats &stats, const ModernPageInfo &info, QByteArray &out)
{
    if (!hasCalendar(info))
        return;
    QString text = QStringLiteral("<section class=\"cal\" id=\"cal\" aria-labelledby=\"cal-t\">\n"
                                  "<h2 id=\"cal-t\">カレンダー</h2>\n");
    const QList<ChatStats::DayCount> days = stats.days();
    if (days.isEmpty()) {
        text += QStringLiteral("<p class=\"facts\">この記録の日付は読めないので、カレンダーは"
                               "出せません。</p>\n");
    } else {
        qint32 busiest = 1;
        for (const ChatStats::DayCount &d : days)
            busiest = std::max(busiest, d.count);
        const std::span<const ChatStats::DayCount> all(days.constData(), size_t(days.size()));
        for (size_t y = 0; y < all.size();) {
            const int year = QDate::fromJulianDay(all[y].day).year();
            size_t end = y + 1;
            while (end < all.size() && QDate::fromJulianDay(all[end].day).year() == year)
                ++end;
            yearFold(all.subspan(y, end - y), end == all.size(), busiest, text);
            y = end;
            if (text.size() >= 32 * 1024) {
                appendUtf8(text, out);
                text.resize(0);
            }
        }
    }
    text += QStringLiteral("</section>\n");
    appendUtf8(text, out);
}
