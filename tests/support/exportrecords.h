#pragma once

#include "engine/read/logreader.h"

#include <QStringList>
#include <optional>

// The records of a log as a reader gives them back, one line each, TAB between the fields, "\n",
// "\t" and "\\" escaped in the texts:
//   date   DATE  DAY-LINE                       a LINE export's day line
//   msg    DATE  TIME  SENDER  TEXT              a message
//   event  DATE  [TIME]  TEXT                    an event (its time only in an XML history)
//   chat   NAME                                  in an export of many chats, before each one's
// DATE is YYYY/MM/DD, TIME 24-hour as the page shows it; an event's text is as the notice has
// it. The twins' .records files hold the same lines.
namespace exportrecords {

inline QString escaped(QString text)
{
    return text.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'\n', QStringLiteral("\\n"))
        .replace(u'\t', QStringLiteral("\\t"));
}

struct Record
{
    QString kind;
    QString date;
    QString time;
    QString sender;
    QStringList lines;

    QString text(bool xml) const
    {
        const QString text = escaped(lines.join(u'\n'));
        if (kind == u"msg")
            return QStringList {kind, date, time, sender, text}.join(u'\t');
        if (kind == u"event" && xml)
            return QStringList {kind, date, time, text}.join(u'\t');
        return QStringList {kind, date, text}.join(u'\t');
    }
};

} // namespace exportrecords

// `header`: the header text the reader was opened with.
inline QStringList readRecords(LogReader &reader, const QString &header)
{
    using exportrecords::Record;
    QStringList out;
    std::optional<Record> open;
    const auto flush = [&] {
        if (open)
            out.append(open->text(reader.isXml()));
        open.reset();
    };
    LineStamps::Cursor stamps(reader.stamps());
    QString line, date, time, frameDate, frameTime;
    qsizetype repeated = 0;
    LineInfo info;
    for (qsizetype i = 0; reader.readLine(line, &info); ++i) {
        switch (info.role) {
        case LineRole::Header:
            flush();
            stamps.at(i, &date, &time, &repeated);
            open = Record {QStringLiteral("msg"), date, time, line.chopped(header.size() + 1), {}};
            break;
        case LineRole::Message:
        case LineRole::Placeholder:
        case LineRole::Reply:
        case LineRole::Attachment:
        case LineRole::Reactions:
        case LineRole::Edited:
            if (open && open->lines.isEmpty())
                line.remove(0, repeated);
            if (open)
                open->lines.append(line);
            break;
        case LineRole::Frame:
            flush();
            if (stamps.at(i, &frameDate, &frameTime))
                break;
            frameDate.clear();
            frameTime.clear();
            break;
        case LineRole::Notice:
            if (!open)
                open = Record {QStringLiteral("event"), frameDate, frameTime, QString(), {}};
            open->lines.append(line);
            break;
        case LineRole::Date:
            out.append(
                QStringList {QStringLiteral("date"), frameDate, exportrecords::escaped(line)}.join(
                    u'\t'));
            break;
        default:
            break;
        }
    }
    flush();
    return out;
}
