#pragma once

#include "engine/read/linerole.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

// Whether a log's first line (after its byte order mark) marks a LINE talk-history export.
bool isLineExportTitle(QStringView firstLine);

// A time as LINE writes it: "21:03", "9:03", "午後9:03", "午前0:15", "9:03 PM", "PM 9:03"
// (seconds allowed).
std::optional<QTime> parseLineTime(QStringView text);
// A date line as LINE writes it: "2024/01/15(月)", "2024.01.15 月曜日", "Mon, 01/15/2024".
std::optional<QDate> parseLineDate(QStringView line);

// Turns the lines of a LINE talk-history export into the header-line text of a chat log, the
// way XML histories are turned into it:
// - a message ("21:03", TAB, sender, TAB, text) becomes a header line (the sender, a blank,
//   the header text) and the lines of its text, the first opened by the time as written
//   ("21:03 了解です");
// - the title, the saved-on line, the date lines and every system event (a message without a
//   sender) become notices, each between two separator lines "―――――";
// - a text that spans lines comes wrapped in double quotes with its own quotes doubled; it is
//   unwrapped. A line without a time continues the message before it;
// - the blank lines between days are dropped.
// The line that opens a message (its header line) or a notice (its first separator) carries the
// date and time of the message, event or date line.
class LineExportConverter
{
public:
    struct Stamp
    {
        QDate date;
        QTime time;
        LineRole role = LineRole::Unknown;
        bool opens = false; // the line opens a message or a notice
        // For a message's header line: how many characters of the next line restate the time
        // ("21:03 "), which a page that shows the time itself leaves out.
        qsizetype repeated = 0;

        QString dateText() const; // "2024/01/15", empty when unknown
        QString timeText() const; // "21:03", empty when unknown
    };

    // Gives the export's lines one by one; false at the end.
    using Source = std::function<bool(QString &line)>;

    LineExportConverter(const QString &headerText, Source source);

    // The next converted line; false at the end.
    bool next(QString &line, Stamp &stamp);
    // Back to the start, for a source that was itself rewound.
    void reset();

private:
    struct Entry
    {
        QString text;
        Stamp stamp;
    };

    bool pull(QString &line);
    void process(const QString &line);
    void startMessage(const QString &line, qsizetype tab, QTime time);
    void continuation(const QString &line);
    QStringList quotedText(QStringView text);
    void add(QString text, LineRole role, QDate date, QTime time, bool opens = false,
             qsizetype repeated = 0)
    {
        m_out.push_back({std::move(text), {date, time, role, opens, repeated}});
    }
    void notice(const QString &text, QDate date, QTime time);

    QString m_headerText;
    Source m_source;
    std::deque<Entry> m_out; // converted lines not yet given out
    std::deque<QString> m_replay; // export lines read ahead, to be read again
    QString m_exportLine; // the export line being converted (its buffer is reused)
    bool m_sourceDone = false;
    bool m_first = true;
    bool m_inMessage = false; // a line without a time continues the last message
    QTime m_messageTime;
    QDate m_date; // from the last date line
    qsizetype m_blankLines = 0; // blank lines not yet known to be inside a message
};
