#include "engine/read/linestamps.h"

#include <algorithm>

namespace {

// "2003/07/12": a date the reader could read, whose text orders as the date does.
bool isReadDate(const QString &text)
{
    return text.size() == 10 && text[4] == u'/' && text[7] == u'/';
}

// `held` takes `text`, unless it already shares it.
void keep(QString &held, const QString &text)
{
    if (held.constData() != text.constData() || held.size() != text.size())
        held = text;
}

} // namespace

qint32 LineStamps::intern(const QString &text)
{
    return text.isEmpty() ? -1 : m_index.intern(m_texts, text);
}

QString LineStamps::filtered(const QString &to) const
{
    if (!m_recipientFilter || to.isEmpty())
        return to;
    QString text = to;
    m_recipientFilter(text);
    return text;
}

void LineStamps::add(qsizetype line, const QString &date, const QString &time, qsizetype repeated,
                     const QString &to)
{
    const qint32 d = intern(date);
    const qint32 t = intern(time);
    const qint32 r = intern(filtered(to));
    if (d >= 0 || t >= 0 || r >= 0)
        m_stamps.append({line, d, t, qint32(std::clamp<qsizetype>(repeated, 0, 64)), r});
}

void LineStamps::addRolling(qsizetype line, const QString &date, const QString &time,
                            qsizetype repeated, bool counting, const QString &to)
{
    if (date.isEmpty() && time.isEmpty()) {
        m_stamps.clear(); // a line that tells nothing
        return;
    }
    // The latest alone, its texts in the first three places (each kept while it stays the same
    // text: a day's stamps share their date's).
    m_stamps.resize(1);
    m_texts.resize(3);
    keep(m_texts[0], date);
    keep(m_texts[1], time);
    if (to.isEmpty())
        m_texts[2].clear();
    else
        m_texts[2] = filtered(to);
    m_stamps[0] = {line, date.isEmpty() ? -1 : 0, time.isEmpty() ? -1 : 1,
                   qint32(std::clamp<qsizetype>(repeated, 0, 64)), to.isEmpty() ? -1 : 2};
    if (!counting)
        return;
    ++m_count;
    // A day's stamps share its date's text: one already counted changes nothing.
    if (date.isEmpty()
        || (date.constData() == m_counted.constData() && date.size() == m_counted.size()))
        return;
    m_counted = date;
    if (isReadDate(date)) {
        if (m_earliest.isEmpty() || date < m_earliest)
            m_earliest = date;
        if (m_latest.isEmpty() || date > m_latest)
            m_latest = date;
    } else {
        if (m_firstUnread.isEmpty())
            m_firstUnread = date;
        m_lastUnread = date;
    }
}

void LineStamps::clear()
{
    m_count = 0;
    m_counted.clear();
    m_earliest.clear();
    m_latest.clear();
    m_firstUnread.clear();
    m_lastUnread.clear();
    m_stamps.clear();
    m_texts.clear();
    m_index.clear();
}

QString LineStamps::extremeDate(bool later) const
{
    if (m_rolling) {
        const QString &read = later ? m_latest : m_earliest;
        return !read.isEmpty() ? read : later ? m_lastUnread : m_firstUnread;
    }
    QString read, unread;
    for (const Stamp &s : m_stamps) {
        if (s.date < 0)
            continue;
        const QString &date = m_texts[s.date];
        if (isReadDate(date)) {
            if (read.isEmpty() || (later ? date > read : date < read))
                read = date;
        } else if (unread.isEmpty() || later) {
            unread = date; // the first or the last as the log has them
        }
    }
    return read.isEmpty() ? unread : read;
}

QString LineStamps::firstDate() const
{
    return extremeDate(false);
}

QString LineStamps::lastDate() const
{
    return extremeDate(true);
}

bool LineStamps::Cursor::at(qsizetype line, QString *date, QString *time, qsizetype *repeated,
                            QString *to)
{
    const QList<Stamp> &all = m_stamps.m_stamps;
    if (m_stamps.m_rolling)
        m_next = 0; // the one held is the latest
    while (m_next < all.size() && all[m_next].line < line)
        ++m_next;
    if (m_next >= all.size() || all[m_next].line != line)
        return false;
    *date = m_stamps.text(all[m_next].date);
    *time = m_stamps.text(all[m_next].time);
    if (repeated)
        *repeated = all[m_next].repeated;
    if (to)
        *to = m_stamps.text(all[m_next].to);
    return true;
}
