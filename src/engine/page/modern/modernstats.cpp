#include "engine/page/modern/modernstats.h"

#include "engine/page/chatstats.h"
#include "engine/page/htmltext.h"
#include "engine/page/modern/modernpage.h"

#include <QDate>
#include <QStringBuilder>
#include <algorithm>
#include <numeric>

namespace {

// Months as bars of this width with a gap between, in pixels: a long chat scrolls sideways
// rather than shrinking its bars to nothing.
constexpr int MonthWidth = 10;
constexpr int MonthBar = 8;
constexpr int MonthHeight = 80;
constexpr int YearLine = 16;
// The hour grid: a column of weekday names, then 24 cells a row.
constexpr int Cell = 16;
constexpr int CellStep = 18;
constexpr int GridLeft = 22;
constexpr int GridTop = 16;
constexpr int Shades = 4;

const char16_t *const WeekdayNames[ChatStats::Weekdays]
    = {u"月", u"火", u"水", u"木", u"金", u"土", u"日"};

QString number(qint64 n)
{
    return QString::number(n);
}

QString dayText(qint64 julianDay)
{
    return QDate::fromJulianDay(julianDay).toString(u"yyyy/MM/dd");
}

// "123.5": SVG lengths with at most one decimal.
QString length(double value)
{
    return QString::number(qRound(value * 10) / 10.0);
}

QString speakerName(const ModernPageInfo &info, qsizetype speaker)
{
    return markupText(info.speakers.value(speaker).name);
}

// The speakers whose part of each month's bar is drawn in their own colour, the busiest first;
// the others share the rest of the bar in the accent colour.
constexpr qsizetype StackedSpeakers = 8;

QList<qsizetype> busiestSpeakers(const ModernPageInfo &info)
{
    QList<qsizetype> order(info.speakers.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&info](qsizetype a, qsizetype b) {
        return info.speakers[a].utterances > info.speakers[b].utterances;
    });
    return order;
}

void speakerBars(const ModernPageInfo &info, QString &out)
{
    const QList<qsizetype> order = busiestSpeakers(info);
    qsizetype most = 1;
    for (const ModernSpeaker &s : info.speakers)
        most = std::max(most, s.utterances);
    out += QStringLiteral("<h3>発言者ごとの発言数</h3>\n<table class=\"who\">\n<thead><tr>"
                          "<th scope=\"col\">発言者</th><th scope=\"col\" class=\"num\">発言</th>"
                          "<th scope=\"col\"><span class=\"vh\">グラフ</span></th></tr></thead>\n"
                          "<tbody>\n");
    for (const qsizetype k : std::as_const(order)) {
        const qsizetype count = info.speakers[k].utterances;
        out += QStringLiteral("<tr class=\"sc s") % number(k + 1)
            % QStringLiteral("\"><th scope=\"row\">") % speakerName(info, k)
            % QStringLiteral("</th><td class=\"num\">") % number(count)
            % QStringLiteral(" 件</td><td class=\"meter\"><svg viewBox=\"0 0 100 10\" "
                             "preserveAspectRatio=\"none\" aria-hidden=\"true\"><rect width=\"")
            % length(100.0 * double(count) / double(most))
            % QStringLiteral("\" height=\"10\"/></svg></td></tr>\n");
    }
    out += QStringLiteral("</tbody>\n</table>\n");
}

void monthBars(const ChatStats &stats, const ModernPageInfo &info, QString &out)
{
    const QList<qsizetype> stacked
        = busiestSpeakers(info).first(std::min(StackedSpeakers, info.speakers.size()));
    const QList<qint32> &months = stats.months();
    const qint32 most = std::max(1, *std::max_element(months.cbegin(), months.cend()));
    const int first = stats.firstMonth();
    const int last = first + int(months.size()) - 1;
    // Wide enough for a year's name under a chat of a month or two.
    const qsizetype width = std::max<qsizetype>(months.size() * MonthWidth, 40);
    const int height = MonthHeight + YearLine;
    const qsizetype busiest = std::max_element(months.cbegin(), months.cend()) - months.cbegin();
    out += QStringLiteral("<h3>月ごとの発言数</h3>\n<div class=\"strip\"><svg class=\"months\" "
                          "width=\"")
        % number(width) % QStringLiteral("\" height=\"") % number(height)
        % QStringLiteral("\" viewBox=\"0 0 ") % number(width) % u' ' % number(height)
        % QStringLiteral("\" role=\"img\" aria-labelledby=\"stats-m\"><title id=\"stats-m\">")
        % ChatStats::monthText(first) % QStringLiteral(" ～ ") % ChatStats::monthText(last)
        % QStringLiteral("、最も多いのは ") % ChatStats::monthText(first + int(busiest))
        % QStringLiteral(" の ") % number(most) % QStringLiteral(" 件</title>\n");
    out += QStringLiteral("<line class=\"axis\" x1=\"0\" y1=\"") % number(MonthHeight)
        % QStringLiteral("\" x2=\"") % number(width) % QStringLiteral("\" y2=\"")
        % number(MonthHeight) % QStringLiteral("\"/>\n");
    for (qsizetype m = 0; m < months.size(); ++m) {
        const int month = first + int(m);
        const QString x = number(m * MonthWidth + (MonthWidth - MonthBar) / 2);
        // A bar for every month, so that each has its title; an empty one is a sliver.
        const double h = std::max(1.0, double(MonthHeight - 4) * months[m] / most);
        const QString title = QStringLiteral("<title>") % ChatStats::monthText(month)
            % QStringLiteral(": ") % number(months[m]) % QStringLiteral(" 件</title>");
        const auto rect = [&](double y, double height) -> QString {
            return QStringLiteral(" x=\"") % x % QStringLiteral("\" y=\"") % length(y)
                % QStringLiteral("\" width=\"") % number(MonthBar) % QStringLiteral("\" height=\"")
                % length(height) % u'"';
        };
        if (!months[m]) {
            out += QStringLiteral("<rect class=\"mb z\"") % rect(MonthHeight - h, h) % u'>' % title
                % QStringLiteral("</rect>\n");
        } else {
            // The rest of the bar in the accent colour, the busiest speakers' parts over it
            // from the bottom up, each in the speaker's colour.
            out += QStringLiteral("<g class=\"mb\">") % title % QStringLiteral("<rect")
                % rect(MonthHeight - h, h) % QStringLiteral("/>");
            double bottom = MonthHeight;
            for (const qsizetype k : stacked) {
                const qint32 count = stats.speakerMonth(k, month);
                if (count == 0)
                    continue;
                const double part = h * count / months[m];
                bottom -= part;
                out += QStringLiteral("<rect class=\"sc s") % number(k + 1) % u'"'
                    % rect(bottom, part) % QStringLiteral("/>");
            }
            out += QStringLiteral("</g>\n");
        }
        // Each year is named under its January, and the first under its first month when
        // there is room before the next January.
        if (month % 12 == 0 || (m == 0 && 12 - month % 12 >= 4))
            out += QStringLiteral("<text class=\"yr\" x=\"") % x % QStringLiteral("\" y=\"")
                % number(height - 3) % QStringLiteral("\">") % number(month / 12)
                % QStringLiteral("</text>\n");
    }
    out += QStringLiteral("</svg></div>\n<details><summary>月ごとの数</summary>\n<table "
                          "class=\"figures\"><tbody>\n");
    for (qsizetype m = 0; m < months.size(); ++m) {
        if (months[m])
            out += QStringLiteral("<tr><th scope=\"row\">") % ChatStats::monthText(first + int(m))
                % QStringLiteral("</th><td class=\"num\">") % number(months[m])
                % QStringLiteral(" 件</td></tr>\n");
    }
    out += QStringLiteral("</tbody></table></details>\n");
}

void hourGrid(const ChatStats &stats, QString &out)
{
    const auto &hours = stats.hours();
    const qint32 most = std::max(1, *std::max_element(hours.cbegin(), hours.cend()));
    const int width = GridLeft + ChatStats::Hours * CellStep;
    const int height = GridTop + ChatStats::Weekdays * CellStep;
    out += QStringLiteral("<h3>時間帯と曜日</h3>\n<svg class=\"hours\" viewBox=\"0 0 ")
        % number(width) % u' ' % number(height)
        % QStringLiteral("\" role=\"img\" aria-labelledby=\"stats-h\"><title id=\"stats-h\">"
                         "曜日と時間帯ごとの発言数（最も多い枠は ")
        % number(most) % QStringLiteral(" 件）</title>\n");
    for (int hour = 0; hour < ChatStats::Hours; hour += 3)
        out += QStringLiteral("<text class=\"hl\" x=\"") % number(GridLeft + hour * CellStep)
            % QStringLiteral("\" y=\"11\">") % number(hour) % QStringLiteral("</text>\n");
    for (int day = 0; day < ChatStats::Weekdays; ++day) {
        const int y = GridTop + day * CellStep;
        out += QStringLiteral("<text class=\"hl\" x=\"0\" y=\"") % number(y + Cell - 3)
            % QStringLiteral("\">") % QStringView(WeekdayNames[day]) % QStringLiteral("</text>\n");
        for (int hour = 0; hour < ChatStats::Hours; ++hour) {
            const qint32 count = hours[day * ChatStats::Hours + hour];
            // Shades 1 to 4 by the share of the busiest cell; 0 for none at all.
            const qint32 shade = count ? (count * Shades + most - 1) / most : 0;
            out += QStringLiteral("<rect class=\"hc q") % number(shade) % QStringLiteral("\" x=\"")
                % number(GridLeft + hour * CellStep) % QStringLiteral("\" y=\"") % number(y)
                % QStringLiteral("\" width=\"") % number(Cell) % QStringLiteral("\" height=\"")
                % number(Cell) % QStringLiteral("\"><title>") % QStringView(WeekdayNames[day])
                % QStringLiteral("曜 ") % number(hour) % QStringLiteral("時台: ") % number(count)
                % QStringLiteral(" 件</title></rect>\n");
        }
    }
    // The same figures as a table, for a reader that does not see the grid.
    out += QStringLiteral("</svg>\n<details><summary>曜日と時間帯ごとの数</summary>\n"
                          "<div class=\"strip\"><table class=\"figures\">\n<thead><tr><td></td>");
    for (int hour = 0; hour < ChatStats::Hours; ++hour)
        out += QStringLiteral("<th scope=\"col\" class=\"num\">") % number(hour)
            % QStringLiteral("時</th>");
    out += QStringLiteral("</tr></thead>\n<tbody>\n");
    for (int day = 0; day < ChatStats::Weekdays; ++day) {
        out += QStringLiteral("<tr><th scope=\"row\">") % QStringView(WeekdayNames[day])
            % QStringLiteral("</th>");
        for (int hour = 0; hour < ChatStats::Hours; ++hour)
            out += QStringLiteral("<td class=\"num\">")
                % number(hours[day * ChatStats::Hours + hour]) % QStringLiteral("</td>");
        out += QStringLiteral("</tr>\n");
    }
    out += QStringLiteral("</tbody></table></div></details>\n");
}

QString moment(const ChatStats::Moment &m, const ModernPageInfo &info)
{
    QString text = htmlEscaped(m.date);
    if (!m.time.isEmpty())
        text += u' ' % htmlEscaped(m.time);
    text += QStringLiteral(" <span class=\"sc s") % number(m.speaker + 1) % QStringLiteral("\">")
        % speakerName(info, m.speaker) % QStringLiteral("</span>");
    if (m.utterance > 0)
        text = QStringLiteral("<a href=\"#u") % number(m.utterance) % QStringLiteral("\">") % text
            % QStringLiteral("</a>");
    return text;
}

void moments(const ChatStats &stats, const ModernPageInfo &info, QString &out)
{
    const ChatStats::DayRun run = stats.longestRun();
    out += QStringLiteral("<dl class=\"moments\">\n<dt>最初の発言</dt><dd>")
        % moment(stats.first(), info) % QStringLiteral("</dd>\n<dt>最後の発言</dt><dd>")
        % moment(stats.last(), info)
        % QStringLiteral("</dd>\n<dt>連続して話した最長の日数</dt><dd>") % number(run.days)
        % QStringLiteral(" 日");
    if (run.days > 1)
        out += QStringLiteral("（") % dayText(run.firstDay) % QStringLiteral(" ～ ")
            % dayText(run.firstDay + run.days - 1) % QStringLiteral("）");
    else
        out += QStringLiteral("（") % dayText(run.firstDay) % QStringLiteral("）");
    out += QStringLiteral("</dd>\n</dl>\n");
}

} // namespace

void writeStatsSection(const ChatStats &stats, const ModernPageInfo &info, QByteArray &out)
{
    if (info.speakers.isEmpty())
        return;
    QString text
        = QStringLiteral("<section class=\"stats\" id=\"stats\" aria-labelledby=\"stats-t\">\n"
                         "<h2 id=\"stats-t\">統計</h2>\n");
    speakerBars(info, text);
    if (stats.hasDates()) {
        monthBars(stats, info, text);
        if (stats.hasTimes())
            hourGrid(stats, text);
        moments(stats, info, text);
    } else {
        text += QStringLiteral("<p class=\"facts\">この記録には日付がないので、月ごとの数や"
                               "時間帯は出せません。</p>\n");
    }
    text += QStringLiteral("</section>\n");
    appendUtf8(text, out);
}
