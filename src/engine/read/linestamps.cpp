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

void LineStamps::add(qsizetype line, const QString &date, const QString &time, qsizetype repeated)
{
    const qint32 d = intern(date);
    const qint32 t = intern(time);
    if (d >= 0 || t >= 0)
        m_stamps.append({line, d, t, qint32(std::clamp<qsizetype>(repeated, 0, 64))});
}

void LineStamps::clear()
{
    m_stamps.clear();
    m_texts.clear();
    m_index.clear();
}

QString LineStamps::firstDate() const
{
    for (const Stamp &s : m_stamps) {
        if (s.date >= 0)
            return text(s.date);
    }
    return QString();
}

QString LineStamps::lastDate() const
{
    for (auto s = m_stamps.crbegin(); s != m_stamps.crend(); ++s) {
        if (s->date >= 0)
            return text(s->date);
    }
    return QString();
}

bool LineStamps::Cursor::at(qsizetype line, QString *date, QString *time, qsizetype *repeated)
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
    return true;
}
