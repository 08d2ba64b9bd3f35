#pragma once

#include "codec/textcodec.h"
#include "engine/read/linerole.h"
#include "engine/read/shared/clock.h"
#include "engine/read/shared/dates.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

// Whether a log's head (its first kilobytes) is that of a LINE talk-history export: its title
// ("[LINE] …", "Chat history in "…"") first, or, for the exports that have none, a record under
// a day line, with only the saved-on line, more day lines and blank lines before it.
bool startsAsLineExport(QStringView head);

// One line of the export as the file holds it, and how it ends (every line end counts in an
// export: records end in CR LF while the lines inside a message may end in LF).
struct ExportLine
{
    QString text;
    textcodec::LineEnd end = textcodec::LineEnd::CrLf;
    bool ended = false; // false for a last line without a line end
    qint64 number = 0; // its line number in the export, from 1
};

// Turns the lines of a LINE talk-history export into the header-line text of a chat log, the
// way XML histories are turned into it, with every line's role:
// - a message ("21:03", TAB, sender, TAB, text; in the exports of the desktop app of 2025 on,
//   "21:03 sender text") becomes a header line (the sender, a blank, the header text) and the
//   lines of its text, the first opened by the time as written ("21:03 了解です");
// - the title, the saved-on line, the day lines, and every event (a record without a sender, a
//   taken-back message, a note or a group call in someone's name) become notices, each between
//   two separator lines "―――――";
// - a text in double quotes (with its own quotes doubled) may span lines and is unquoted; a
//   line that is no record and no day line continues the message or event before it, blank
//   lines inside included; blank lines before a record or a day line are dropped.
// A line that starts like a record is never part of the message before it: a damaged time
// still opens a record of its own, so no words pass to another person.
class LineExportConverter
{
public:
    struct Stamp
    {
        QDate date; // the day the line was said: its day line's, also for "24:32"
        std::optional<ClockTime> time; // empty when unknown
        bool opens = false; // the line opens a message or a notice
        // For a message's header line: how many characters of the next line restate the time
        // ("21:03 "), which a page that shows the time itself leaves out.
        qsizetype repeated = 0;

        QString dateText() const { return ::dateText(date); } // "2024/01/15", empty if unknown
        QString timeText() const { return time ? time->text() : QString(); } // "21:03"
    };

    struct Converted
    {
        QString text;
        LineRole role = LineRole::Unknown;
        Stamp stamp;
        textcodec::LineEnd end = textcodec::LineEnd::CrLf; // that of the line it came from
        qint64 sourceLine = 0; // a header line's: the number of the export's line of its record
    };

    // Gives the export's lines one by one; false at the end.
    using Source = std::function<bool(ExportLine &line)>;
    // Goes once through every line of the export, from its first, for what decides how the
    // rest is read (the order of day and month; names holding blanks). May be empty.
    using Survey = std::function<void(const std::function<void(QStringView)> &line)>;

    LineExportConverter(const QString &headerText, Source source, Survey survey = {});

    // The next converted line; false at the end.
    bool next(Converted &line);
    // Back to the start, for a source that was itself rewound. What a survey found is kept.
    void reset();
    // Whether the lines of a message one line long are given with their text; without, they
    // come empty (a pass that looks at the header lines alone), their role as ever.
    void setMessageTextWanted(bool wanted) { m_messageText = wanted; }

    // The chat's name, from the export's title (empty when it has none); known once the first
    // line was read.
    const QString &chatName() const { return m_chatName; }
    // The saved-on line's date as written ("2024/01/15 21:03"), where the export has one.
    const QString &savedOn() const { return m_savedOn; }

private:
    enum class Block { None, Message, Event };
    enum class Family { Unknown, Tabs, Blanks }; // what separates a record's columns

    // A record, its parts in the line it was read from.
    struct Record
    {
        QStringView timeText; // as written
        std::optional<ClockTime> time;
        QStringView sender; // empty for an event without a name
        QStringView text;
        bool event = false;
    };

    bool pull(ExportLine &line);
    void process(ExportLine &line);
    std::optional<Record> record(const QString &line);
    std::optional<Record> blankSeparated(const QString &line);
    qsizetype senderLength(QStringView rest) const;
    void startRecord(Record record, const ExportLine &line);
    void dayLine(const ExportLine &line, const WrittenDate &date);
    // "sender" + " " + the header text.
    QString headerLine(QStringView sender);
    void continuation(const ExportLine &line);
    void closeBlock();
    void openNotice(const QString &text, LineRole role, QDate date, std::optional<ClockTime> time,
                    textcodec::LineEnd end);
    QStringList quotedText(QStringView text, const ExportLine &first,
                           std::vector<textcodec::LineEnd> &ends);
    void survey();
    void add(QString text, LineRole role, QDate date, std::optional<ClockTime> time,
             textcodec::LineEnd end, bool opens = false, qsizetype repeated = 0)
    {
        m_out.push_back({std::move(text), role, {date, time, opens, repeated}, end});
        m_lastEnd = end;
    }

    QString m_headerText;
    bool m_messageText = true;
    static constexpr size_t HeaderLinesKept = 16;
    std::vector<QString> m_headerLines; // the header lines of the latest senders
    Source m_source;
    Survey m_survey;
    std::deque<Converted> m_out; // converted lines not yet given out
    // That of the last line converted, given out or not: a notice's closing line takes it.
    textcodec::LineEnd m_lastEnd = textcodec::LineEnd::CrLf;
    std::deque<ExportLine> m_replay; // export lines read ahead, to be read again
    ExportLine m_line; // the export line being converted (its buffer is reused)
    bool m_sourceDone = false;
    bool m_inHead = true; // no line but the title, the saved-on line and blanks read yet
    bool m_titled = false; // the title or the saved-on line was read
    QString m_chatName;
    QString m_savedOn;
    Family m_family = Family::Unknown;
    Block m_block = Block::None;
    QDate m_blockDate; // the open message's or event's date and time
    std::optional<ClockTime> m_blockTime;
    QDate m_date; // from the last day line
    // Blank lines not yet known to be inside a message: runs of (line end, count).
    std::vector<std::pair<textcodec::LineEnd, qsizetype>> m_blanks;
    // What a survey of the whole export found; kept across passes.
    bool m_surveyed = false;
    DayOrder m_order = DayOrder::Unknown;
    QHash<QString, qsizetype> m_senderCounts; // first word of a sender -> records
    QHash<QString, QString> m_longNames; // first word of a sender -> the whole name
};
