#pragma once

#include "engine/read/shared/utc.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimeZone>

// What a chat export holds, as every reader of an export yields it: the chat, then its records
// one by one (a message, an event, a day), never the whole chat at once.
namespace chat {

// When a record was said. An export either writes an instant (UTC, or with its offset), which is
// shown in the reader's time zone, or a date and time as its app showed them, which are shown as
// written.
struct Moment
{
    QDateTime at; // invalid when the export tells no time
    bool instant = false; // `at` is an instant to be shown in the reader's zone
    bool seconds = false; // the export wrote seconds
    bool dayOnly = false; // the export tells the day but not the time

    static Moment written(QDate date, QTime time, bool seconds = false)
    {
        return {utc::at(date, time), false, seconds};
    }
    static Moment onDay(QDate date) { return {utc::at(date, QTime(0, 0)), false, false, true}; }
    static Moment fromInstant(QDateTime at) { return {std::move(at), true, true}; }
    static Moment fromEpochMs(qint64 ms) { return fromInstant(utc::fromMSecs(ms)); }
    bool isValid() const { return at.isValid(); }
};

struct Attachment
{
    QString name; // as the export names it ("IMG_0001.jpg")
    QString kind; // "写真", "動画", "音声", "ファイル", "スタンプ", "リンク"…
    qint64 size = -1; // in bytes, -1 when unknown
    QString path; // where the export holds it, relative to the export; empty when it does not
};

struct Reaction
{
    QString emoji;
    QStringList by; // who reacted, where the export tells
};

struct Message
{
    QString id; // the export's own id, where it has one
    qint64 line = 0; // where the export is read by lines: the line it starts on, from 1
    QString sender;
    QStringList recipients; // where the export tells to whom it went
    Moment when;
    QStringList text; // the lines of its text
    QString replyTo; // the id of the message it answers
    QString replyQuote; // a short quote of that message, where known
    QString replySender;
    // A reply shown right under the message it answers, out of time order.
    bool threaded = false;
    // A thread's reply that was also sent to the chat, shown a second time where it was said.
    bool alsoSent = false;
    QList<Reaction> reactions;
    QList<Attachment> attachments;
    bool edited = false;
    bool forwarded = false;
    QString forwardedFrom;
};

struct Event
{
    QString text; // as said: "Aさんが Bさんを追加しました"
    QString actor;
    Moment when;
};

struct Day
{
    QDate date;
    QString text; // the export's own day line, where it has one; else the date is shown
};

struct Record
{
    enum class Kind { Message, Event, Day };
    Kind kind = Kind::Message;
    Message message;
    Event event;
    Day day;
};

// The chat itself: what the export says of it before and besides its records.
struct Chat
{
    QString name; // the chat's name, topic or the other person's name; empty when unknown
    QStringList participants; // where the export lists them
    QString source; // the file (or the entry of an archive) it came from
    QString savedOn; // when the export says it was saved, as it writes the date
};

} // namespace chat
