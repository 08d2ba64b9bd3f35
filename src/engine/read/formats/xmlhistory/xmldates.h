#pragma once

#include "engine/read/shared/textindex.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

class LineStamps;

// When the events of the messenger's XML histories happened. Each event's Date and Time are
// written in the locale of the writer's machine ("1/20/2010" and "10:28:44 AM", "06/07/2007" and
// "22:46:40", "2010/7/27", "26.11.2010", "18.32.07"), and the locale may change within one file;
// DateTime is the same moment in UTC ("2007-07-06T21:46:40.076Z").
//
// Dates are read in the order of day and month that the event's own DateTime confirms, and
// otherwise in the one the file's dates agree on: one whose day is above 12 tells, and so does
// every DateTime. Every date and time is then written the same way: "2010/01/20", "10:28:44".
class XmlDates
{
public:
    // The event whose text starts at `line` was written with these attributes.
    void add(qsizetype line, const QString &date, const QString &time, const QString &dateTime,
             const QString &to);
    // Notes every event in `stamps`, once all were added.
    void finish(LineStamps &stamps) const;

private:
    // Each distinct text is kept once (a file has few dates, times and recipient lists, and its
    // DateTime is only read for its day), so an event costs a few bytes whatever the file's size.
    struct Event
    {
        qsizetype line;
        qint32 date;
        qint32 time;
        qint32 utcDay; // the first ten characters of DateTime
        qint32 to;
    };
    // The index of `text`; `last` is the one this field had in the event before.
    qint32 intern(QStringView text, qint32 &last);

    QList<Event> m_events;
    QStringList m_texts;
    TextIndex m_index;
    Event m_last = {0, -1, -1, -1, -1}; // the texts of the event added last
};

// A time as the writer's locale wrote it, on a 24-hour clock with seconds ("13:34:22"); the
// text as it is when it is no time.
QString xmlTimeText(QStringView time);
