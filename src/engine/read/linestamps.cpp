#include "engine/read/linestamps.h"

#include <algorithm>

qint32 LineStamps::intern(const QString &text)
{
    if (text.isEmpty())
        return -1;
    const auto found = m_index.constFind(text);
    if (found != m_index.cend())
        return *found;
    const qint32 index = qint32(m_texts.size());
    m_texts.append(text);
    m_index.insert(text, index);
    return index;
}

void LineStamps::add(qsizetype line, const QString &date, const QString &time, qsizetype repeated,
                     const QString &to)
{
    const qint32 d = intern(date);
    const qint32 t = intern(time);
    const qint32 r = intern(to);
    if (d >= 0 || t >= 0 || r >= 0)
        m_stamps.append({line, d, t, qint32(std::clamp<qsizetype>(repeated, 0, 64)), r});
}

void LineStamps::clear()
{
    m_stamps.clear();
    m_texts.clear();
    m_index.clear();
}

namespace {

// "2003/07/12": a date the reader could read, whose text orders as the date does.
bool isReadDate(const QString &text)
{
    return text.size() == 10 && text[4] == u'/' && text[7] == u'/';
}

} // namespace

QString LineStamps::extremeDate(bool later) const
{
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
