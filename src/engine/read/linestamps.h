#pragma once

#include "engine/read/shared/textindex.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// When each utterance of a log was said, as far as the log tells: a date and a time for the
// line that opens it (its header line, or the separator of a notice). Readers that know times
// fill it while they turn their format into header/message text (the XML history's Date and
// Time attributes); page writers look the stamps up line by line in the same order.
//
// Dates are kept as "2003/07/12" where the reader could read them, times as "21:03:00"; each
// distinct text is stored once, so a stamp costs a few bytes whatever the log's size.
class LineStamps
{
public:
    // Line `line` (0-based, in the text the reader hands out) was said at `date` / `time`;
    // either may be empty. Lines are added in ascending order. `repeated`: the first characters
    // of the next line that restate the time (a LINE export's "21:03 "). `to`: whom a message
    // was sent to, where the log tells (an XML history's recipients, names joined by "、").
    void add(qsizetype line, const QString &date, const QString &time, qsizetype repeated = 0,
             const QString &to = QString());
    void clear();
    // Applied to every `to` as it is added (a redacted page names no recipient); kept by clear().
    void setRecipientFilter(std::function<void(QString &)> filter)
    {
        m_recipientFilter = std::move(filter);
    }
    bool isEmpty() const { return size() == 0; }
    qsizetype size() const { return m_rolling ? m_count : m_stamps.size(); }

    // A reader that gives its stamps again in every pass (a LINE export) has them kept one at a
    // time: only the latest is held, with the count and the date range of those added with
    // `counting` set (its first pass). Memory then stays the same whatever the log's size.
    void setRolling(bool rolling) { m_rolling = rolling; }
    void addRolling(qsizetype line, const QString &date, const QString &time, qsizetype repeated,
                    bool counting, const QString &to = QString());

    // The earliest and the latest date the stamps hold, whatever their order in the log (empty
    // when none); dates the reader could not read count only when no other date is there.
    QString firstDate() const;
    QString lastDate() const;

    // Walks the stamps alongside the lines of one pass.
    class Cursor
    {
    public:
        explicit Cursor(const LineStamps &stamps)
            : m_stamps(stamps)
        {
        }
        // The stamp of line `line`, when it has one; lines must be asked in ascending order.
        bool at(qsizetype line, QString *date, QString *time, qsizetype *repeated = nullptr,
                QString *to = nullptr);

    private:
        const LineStamps &m_stamps;
        qsizetype m_next = 0;
    };

private:
    struct Stamp
    {
        qsizetype line;
        qint32 date; // index into m_texts, -1 when none
        qint32 time;
        qint32 repeated;
        qint32 to;
    };
    qint32 intern(const QString &text);
    QString filtered(const QString &to) const;
    QString text(qint32 index) const { return index < 0 ? QString() : m_texts[index]; }
    // The earliest (or latest) date, `later` telling which.
    QString extremeDate(bool later) const;

    QList<Stamp> m_stamps;
    bool m_rolling = false;
    qsizetype m_count = 0; // stamps counted while rolling
    QString m_earliest; // dates read while rolling, and the first and last of any others
    QString m_latest;
    QString m_firstUnread;
    QString m_lastUnread;
    QString m_counted; // the last date counted while rolling
    QStringList m_texts;
    TextIndex m_index;
    std::function<void(QString &)> m_recipientFilter;
};
