#pragma once

#include "engine/read/chat/idtable.h"
#include "engine/read/chat/recordreader.h"
#include "engine/read/formats/chatformat.h"
#include "engine/read/shared/batchpipe.h"
#include "engine/read/shared/dates.h"

#include <QDate>
#include <QHash>
#include <QTimeZone>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// Turns the records of a chat export into the header-line text every output is written from,
// with each line's role and stamp, the way a LINE export is turned into it:
// - a message becomes its header line (the sender, a blank, the header text) and its lines:
//   the first opened by its time ("21:03 "), then where it was forwarded from, the message it
//   answers (and that a thread's reply was also sent to the chat), its text, its attachments,
//   its reactions and whether it was edited, each of those a short line of its own, so that
//   nothing the export holds is lost;
// - an event and a day become notices between two separator lines, a day before the first
//   record of every date (the export's own day line where it has one); a reply shown under the
//   message it answers shows a later date with its time instead.
// Instants are shown in the reader's time zone.
class RecordLines : public FormatReader
{
public:
    RecordLines(std::unique_ptr<RecordReader> records, const ReadSource &source);
    ~RecordLines() override;

    bool load() override;
    bool restart() override;
    bool next(QString &line, LineInfo &info) override;
    qsizetype lineCount() override { return m_records->total(); }
    qsizetype linesConsumed() const override;
    QString chatName() const override { return m_records->chat().name; }
    QString savedOn() const override { return m_records->chat().savedOn; }
    QStringList people() const override;
    QString shownZone() const override;
    RecordReader *records() override { return m_records.get(); }
    // While lines are made ahead the records are the thread's, and what it hands out did not
    // fail: a failure is told once the pass ends.
    bool failed() const override { return !m_thread.joinable() && m_records->failed(); }
    QString errorString() const override
    {
        return m_thread.joinable() ? QString() : m_records->errorString();
    }

    // The short lines of a message besides its text, as the outputs show them.
    static QString replyLine(const chat::Message &message);
    static QString attachmentLine(const chat::Attachment &attachment);
    static QString reactionLine(const QList<chat::Reaction> &reactions);

private:
    struct Out
    {
        QString text;
        LineRole role;
        // The stamp of a line that opens a message or a notice, noted as it is handed out.
        bool opens = false;
        QDate date;
        QString time;
        qsizetype repeated = 0;
        QString to;
        QString ref; // LineInfo::ref
        qint64 sourceLine = 0; // LineInfo::sourceLine
        qsizetype consumed = 0; // the records' progress once its record was read
    };
    // The next line of this pass, read here or taken from the thread converting ahead;
    // nullptr at the end of the pass or when reading failed.
    Out *nextOut();
    void endPass();
    void convert(chat::Record &record);
    // Records read ahead are turned into lines on a thread of their own too, a few batches
    // ahead of the page: the conversion then runs beside the page's work rather than before
    // it. The thread alone touches the records and what convert() keeps while a pass runs.
    void convertAhead();
    void stopAhead();
    std::thread m_thread;
    std::vector<Out> m_taken; // the batch being handed out
    size_t m_takenAt = 0;
    bool m_convertAhead = false; // whether the records may be read on another thread
    bool m_passEnded = false;
    qsizetype m_consumed = 0; // as of the line last handed out
    // When a record was said, as shown: an instant in the reader's zone.
    QDateTime shown(const chat::Moment &when);
    void name(QString &who) const;
    void day(QDate date, const QString &text);
    void message(const chat::Message &message);
    void event(const chat::Event &event);
    // Opens a message or a notice with its first line.
    void open(QString text, LineRole role, QDate date, const QString &time, qsizetype repeated = 0,
              const QString &to = QString())
    {
        m_out.push_back({std::move(text), role, true, date, time, repeated, to});
    }
    void add(QString text, LineRole role, QString ref = QString())
    {
        m_out.push_back({std::move(text), role, false, {}, {}, 0, {}, std::move(ref)});
    }

    // The lines of the first whole pass, kept compact, so that a later pass (a page is written
    // in two) hands them out again rather than reading the export once more: up to a bound,
    // past which later passes read it again.
    struct Kept
    {
        qsizetype text; // in m_keptText: where the line's text starts
        qsizetype time; // the stamp's time, then its recipients, then the line's ref
        qint64 day; // the stamp's date (Julian day)
        qint32 textSize, timeSize, toSize, refSize;
        qint32 repeated;
        qint32 sourceLine; // a log of more than 2^31 lines is not kept (KeptBytes)
        LineRole role;
        bool opens;
    };
    static constexpr qsizetype KeptBytes = 256 * 1024 * 1024;
    void keep(const Out &out);
    bool replay(QString &line, LineInfo &info);
    std::vector<Kept> m_kept;
    std::u16string m_keptText;
    bool m_keeping = false; // while the first pass is kept
    bool m_keepWanted = false; // whether the log is read again
    bool m_replaying = false;
    size_t m_replayed = 0;

    std::unique_ptr<RecordReader> m_records;
    const QString &m_headerText;
    LineStamps &m_stamps;
    const bool &m_stampsWanted;
    QTimeZone m_zone;
    const QHash<QString, QString> &m_names;
    BatchPipe<std::vector<Out>> m_pipe; // the lines converted ahead (convertAhead())
    QStringList m_actors; // who caused the events read, each once
    // The lines of the records converted: the batch being made where lines are made ahead,
    // else those of the last record, handed out from m_outAt.
    std::vector<Out> m_out;
    size_t m_outAt = 0;
    chat::Record m_record; // its buffers are reused
    QDate m_day; // the date of the last day notice
    // The anchor number of each message said so far that has an id, for the replies to it:
    // the page numbers its messages from 1 in the order they come. Noted in a list as they
    // come and put in the table only once a reply asks: most chats answer few of their
    // messages, and a table of all of them costs more to fill than the chat to read.
    std::vector<std::pair<quint64, qint64>> m_anchorsSaid; // by chat::idKey()
    size_t m_anchorsTabled = 0;
    IdTable m_anchors;
    qint64 anchor(quint64 key)
    {
        for (; m_anchorsTabled < m_anchorsSaid.size(); ++m_anchorsTabled)
            m_anchors.insert(m_anchorsSaid[m_anchorsTabled].first,
                             m_anchorsSaid[m_anchorsTabled].second);
        return m_anchors.value(key);
    }
    qsizetype m_messages = 0;
    QDateTime m_instant; // the first instant shown, for the zone's offset then
    // The zone's offset (seconds) from one instant up to its next transition (ms since epoch).
    int m_offset = 0;
    qint64 m_offsetFrom = 0;
    qint64 m_offsetUntil = 0;
    qsizetype m_linesOut = 0;
    bool m_stampsDone = false;
    // The text of the last date stamped: most lines share their date with the one before.
    const QString &stampDate(QDate date)
    {
        if (date != m_stampDate || m_stampDateText.isNull()) {
            m_stampDate = date;
            m_stampDateText = dateText(date);
        }
        return m_stampDateText;
    }
    QDate m_stampDate;
    QString m_stampDateText;
};
