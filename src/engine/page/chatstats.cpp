#include "engine/page/chatstats.h"

#include <QDate>
#include <algorithm>

namespace {

int digit(QChar c)
{
    return c >= u'0' && c <= u'9' ? c.unicode() - u'0' : -1;
}

} // namespace

QDate ChatStats::dateOf(const QString &text)
{
    if (text.size() != 10 || text[4] != u'/' || text[7] != u'/')
        return QDate();
    int parts[3] = {0, 0, 0};
    const int from[3] = {0, 5, 8};
    const int length[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (int i = 0; i < length[p]; ++i) {
            const int d = digit(text[from[p] + i]);
            if (d < 0)
                return QDate();
            parts[p] = parts[p] * 10 + d;
        }
    }
    return QDate(parts[0], parts[1], parts[2]);
}

namespace {

// "21:03", "21:03:07" or "9:03": the seconds into the day, -1 for anything else.
int readTime(const QString &text)
{
    int fields[3] = {0, 0, 0};
    int field = 0;
    int digits = 0;
    for (const QChar c : text) {
        if (c == u':' && digits > 0 && field < 2) {
            ++field;
            digits = 0;
        } else if (const int d = digit(c); d >= 0 && digits < 2) {
            fields[field] = fields[field] * 10 + d;
            ++digits;
        } else {
            return -1;
        }
    }
    if (field == 0 || digits == 0 || fields[0] > 23 || fields[1] > 59 || fields[2] > 60)
        return -1;
    return fields[0] * 3600 + fields[1] * 60 + fields[2];
}

} // namespace

void ChatStats::countMonth()
{
    if (m_firstMonth < 0) {
        m_firstMonth = m_month;
    } else if (m_month < m_firstMonth) { // a log out of order
        if (m_firstMonth - m_month + m_months.size() > MaxMonths)
            return; // before the months shown
        m_months.insert(0, m_firstMonth - m_month, 0);
        m_firstMonth = m_month;
    }
    const qsizetype at = m_month - m_firstMonth;
    if (at >= m_months.size())
        m_months.resize(at + 1);
    ++m_months[at];
    if (m_months.size() > MaxMonths) { // the latest are shown
        const qsizetype drop = m_months.size() - MaxMonths;
        m_months.remove(0, drop);
        m_firstMonth += int(drop);
    }
}

void ChatStats::add(qsizetype speaker, qsizetype utterance, const QString &date,
                    const QString &time)
{
    if (date.isEmpty())
        return;
    if (date != m_date) {
        // Stamps share their texts, and a day's utterances come together: a date is read once
        // per day.
        m_date = date;
        const QDate day = dateOf(date);
        m_month = day.isValid() ? day.year() * 12 + day.month() - 1 : -1;
        if (m_month < 0)
            return;
        m_day = day.toJulianDay();
        m_weekday = day.dayOfWeek() - 1;
        if (m_days.isEmpty() || m_days.last() != m_day) {
            m_days.append(m_day);
            m_dayCounts.append(0);
        }
    }
    if (m_month < 0)
        return;
    countMonth();
    ++m_dayCounts.last();
    if (speaker >= 0)
        ++m_speakerMonths[quint64(m_month) << 32 | quint64(speaker)];

    const int seconds = readTime(time);
    if (seconds >= 0) {
        ++m_hours[m_weekday * Hours + seconds / 3600];
        ++m_timed;
    }
    // The first is the earliest, the last the latest; of equal stamps, the first and the last
    // said.
    const auto before = [&](const Stamp &s) {
        return m_day < s.day || (m_day == s.day && seconds < s.seconds);
    };
    const auto stamp = [&](Stamp &s) {
        s.day = m_day;
        s.seconds = seconds;
        s.moment = {date, seconds >= 0 ? time : QString(), speaker, utterance};
    };
    if (m_first.moment.speaker < 0 || before(m_first))
        stamp(m_first);
    if (m_last.moment.speaker < 0 || !before(m_last))
        stamp(m_last);
}

QString ChatStats::monthText(int month)
{
    return QStringLiteral("%1/%2")
        .arg(month / 12, 4, 10, QLatin1Char('0'))
        .arg(month % 12 + 1, 2, 10, QLatin1Char('0'));
}

QString ChatStats::dayAnchor(QDate day)
{
    return QStringLiteral("d%1%2%3")
        .arg(day.year(), 4, 10, QLatin1Char('0'))
        .arg(day.month(), 2, 10, QLatin1Char('0'))
        .arg(day.day(), 2, 10, QLatin1Char('0'));
}

QList<ChatStats::DayCount> ChatStats::days() const
{
    QList<DayCount> days;
    days.reserve(m_days.size());
    for (qsizetype i = 0; i < m_days.size(); ++i)
        days.append({m_days[i], m_dayCounts[i]});
    std::stable_sort(days.begin(), days.end(),
                     [](const DayCount &a, const DayCount &b) { return a.day < b.day; });
    // A log out of order comes back to a day: its parts are one day.
    qsizetype kept = 0;
    for (qsizetype i = 0; i < days.size(); ++i) {
        if (kept > 0 && days[kept - 1].day == days[i].day)
            days[kept - 1].count += days[i].count;
        else
            days[kept++] = days[i];
    }
    days.resize(kept);
    return days;
}

QList<qint32> ChatStats::firstDays() const
{
    QList<qint32> firsts(m_months.size(), 0);
    for (const DayCount &d : days()) {
        const QDate date = QDate::fromJulianDay(d.day);
        const qsizetype at = date.year() * 12 + date.month() - 1 - qsizetype(m_firstMonth);
        if (at >= 0 && at < firsts.size() && firsts[at] == 0)
            firsts[at] = date.day();
    }
    return firsts;
}

ChatStats::DayRun ChatStats::longestRun() const
{
    QList<qint64> days = m_days;
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    DayRun best;
    for (qsizetype i = 0; i < days.size();) {
        qsizetype j = i + 1;
        while (j < days.size() && days[j] == days[j - 1] + 1)
            ++j;
        if (j - i > best.days)
            best = {days[i], j - i};
        i = j;
    }
    return best;
}
