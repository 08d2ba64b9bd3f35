#include "engine/read/mergedlog.h"

#include "engine/read/chat/quotebook.h"
#include "engine/read/logreader.h"
#include "engine/read/shared/dates.h"

#include <QSet>
#include <limits>

namespace {

// The minute of a log's records that tell no time at all: before every other.
constexpr qint64 Untimed = std::numeric_limits<qint64>::min();

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

} // namespace

MergedLog::MergedLog(std::vector<Source> sources, const QTimeZone &zone)
    : m_sources(std::move(sources))
    , m_heads(m_sources.size())
    , m_zone(zone.isValid() ? zone : QTimeZone::systemTimeZone())
{
}

MergedLog::~MergedLog() = default;

QString MergedLog::gapText(QDate first, QDate last)
{
    const QString days = first == last ? dateText(first)
                                       : dateText(first) + QStringLiteral(" 〜 ") + dateText(last);
    return days + QStringLiteral(" の記録はありません");
}

bool MergedLog::load()
{
    // An export's own reader was loaded as its log was opened.
    for (const Source &source : m_sources) {
        if (source.lines && !source.lines->load())
            return false;
    }
    return true;
}

const chat::Chat &MergedLog::chat() const
{
    m_chat = chat::Chat();
    QSet<QString> named;
    for (const Source &source : m_sources) {
        const chat::Chat &chat = source.records->chat();
        if (m_chat.name.isEmpty())
            m_chat.name = chat.name;
        if (m_chat.source.isEmpty())
            m_chat.source = chat.source;
        for (const QString &person : chat.participants) {
            if (!named.contains(person)) {
                named.insert(person);
                m_chat.participants.append(person);
            }
        }
    }
    return m_chat;
}

bool MergedLog::restart()
{
    m_inGroup = false;
    m_earlier.clear();
    m_mine.clear();
    m_lastDay = m_covered = QDate();
    for (size_t s = 0; s < m_sources.size(); ++s) {
        m_heads[s] = Head();
        m_heads[s].lastMinute = Untimed;
        if (!m_sources[s].records->restart())
            return false;
        advance(s);
    }
    return !failed();
}

qint64 MergedLog::minuteOf(const chat::Moment &when) const
{
    QDateTime at = when.at;
    if (when.instant)
        at = at.toTimeZone(m_zone);
    // The time as shown, counted as if it were UTC: two exports that show the same minute
    // meet whatever zone they were written in.
    const qint64 shown = QDateTime(at.date(), at.time(), QTimeZone::utc()).toMSecsSinceEpoch();
    return floorDiv(shown, 60 * 1000);
}

bool MergedLog::advance(size_t s)
{
    Head &head = m_heads[s];
    head.has = m_sources[s].records->next(head.record);
    if (!head.has) {
        if (const QDate saved = savedOnDay(s); saved.isValid() && saved > m_covered)
            m_covered = saved;
        return false;
    }
    const chat::Record &r = head.record;
    const chat::Moment *when = r.kind == chat::Record::Kind::Message ? &r.message.when
        : r.kind == chat::Record::Kind::Event                        ? &r.event.when
                                                                     : nullptr;
    if (when && when->isValid())
        head.lastMinute = minuteOf(*when);
    else if (!when && r.day.date.isValid()) // a day comes before the first minute of its date
        head.lastMinute = floorDiv(
            QDateTime(r.day.date, QTime(0, 0), QTimeZone::utc()).toMSecsSinceEpoch(), 60 * 1000);
    head.minute = head.lastMinute;
    return true;
}

quint64 MergedLog::sameKey(const chat::Record &record) const
{
    QString key;
    if (record.kind == chat::Record::Kind::Message) {
        const chat::Message &m = record.message;
        key = u'M' + m.sender.trimmed() + u'\x1f' + m.text.join(u'\n');
        for (const chat::Attachment &a : m.attachments)
            key += u'\x1f' + a.name;
    } else {
        key = u'E' + record.event.text;
    }
    return chat::idKey(key);
}

bool MergedLog::startGroup(chat::Record &record)
{
    qint64 group = 0;
    bool any = false;
    for (const Head &head : m_heads) {
        if (head.has && (!any || head.minute < group)) {
            group = head.minute;
            any = true;
        }
    }
    if (!any)
        return false;
    m_inGroup = true;
    m_group = group;
    m_source = 0;
    m_earlier.clear();
    m_mine.clear();
    if (group == Untimed)
        return false;
    m_groupDay = QDateTime::fromMSecsSinceEpoch(group * 60 * 1000, QTimeZone::utc()).date();
    // A stretch of days that no export covers: every export that had begun has ended.
    const QDate day = m_groupDay;
    const QDate last = m_covered;
    if (!last.isValid() || day > last)
        m_covered = day;
    if (!last.isValid() || last.daysTo(day) < 2)
        return false;
    for (const Head &head : m_heads) {
        if (head.has && head.started)
            return false;
    }
    record.kind = chat::Record::Kind::Event;
    record.event = {gapText(last.addDays(1), day.addDays(-1)), QString(), chat::Moment()};
    return true;
}

bool MergedLog::next(chat::Record &record)
{
    for (;;) {
        if (!m_inGroup) {
            if (startGroup(record))
                return true;
            if (!m_inGroup)
                return false; // every export read to its end
        }
        while (m_source < m_sources.size()) {
            Head &head = m_heads[m_source];
            if (!head.has || head.minute != m_group) {
                // This export's records of the minute are all taken.
                for (auto it = m_mine.cbegin(); it != m_mine.cend(); ++it) {
                    int &most = m_earlier[it.key()];
                    most = qMax(most, it.value());
                }
                m_mine.clear();
                ++m_source;
                continue;
            }
            record = std::move(head.record);
            head.started |= m_group != Untimed;
            advance(m_source);
            if (failed())
                return false;
            if (record.kind == chat::Record::Kind::Day) {
                // One heading a day, from the export that reaches the day first.
                if (m_lastDay.isValid() && record.day.date <= m_lastDay)
                    continue;
                m_lastDay = record.day.date;
                return true;
            }
            const quint64 key = sameKey(record);
            if (++m_mine[key] <= m_earlier.value(key))
                continue; // an export before this one held it
            // A record with a time of its own is said on its minute's day, as shown.
            const chat::Moment &when = record.kind == chat::Record::Kind::Message
                ? record.message.when
                : record.event.when;
            if (when.isValid() && (!m_lastDay.isValid() || m_groupDay > m_lastDay))
                m_lastDay = m_groupDay;
            return true;
        }
        m_inGroup = false;
    }
}

QDate MergedLog::savedOnDay(size_t s) const
{
    const QString saved = m_sources[s].log->savedOn().trimmed();
    if (saved.size() < 10 || !saved[0].isDigit())
        return {};
    QString day = saved.first(10);
    day.replace(u'-', u'/');
    return QDate::fromString(day, u"yyyy/MM/dd");
}

qsizetype MergedLog::total()
{
    qsizetype sum = 0;
    for (const Source &source : m_sources)
        sum += source.records->total();
    return sum;
}

qsizetype MergedLog::consumed() const
{
    qsizetype sum = 0;
    for (const Source &source : m_sources)
        sum += source.records->consumed();
    return sum;
}

bool MergedLog::failed() const
{
    for (const Source &source : m_sources) {
        if (source.records->failed())
            return true;
    }
    return false;
}

QString MergedLog::errorString() const
{
    for (const Source &source : m_sources) {
        if (source.records->failed())
            return source.log->path() + QStringLiteral(": ") + source.records->errorString();
    }
    return {};
}
