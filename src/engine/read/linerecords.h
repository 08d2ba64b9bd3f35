#pragma once

#include "engine/read/chat/recordreader.h"
#include "engine/read/linerole.h"
#include "engine/read/linestamps.h"

#include <QStringView>
#include <functional>
#include <memory>
#include <optional>

class LogReader;

// Sorts a text log's lines into roles; a new one for every pass (it follows notice frames).
using SortLine = std::function<LineRole(QStringView)>;
using LineSorting = std::function<SortLine()>;

// The records of a log read as lines (a text log, an XML history, a LINE export), for what
// works on records whatever the log: a header line and the lines after it are a message, its
// stamp its date and time; a framed notice is an event, or a day where it is a day's heading;
// a line outside both (a hash line, text before the first header) is an event of its own.
// The export's own title notices are left out. The lines of a text log, which have no roles,
// are sorted by `sorting`.
class LineRecords : public RecordReader
{
public:
    LineRecords(LogReader &log, const QString &headerText, LineSorting sorting);

    bool load() override;
    // As far as the log has been read: a LINE export tells its name in its first line.
    const chat::Chat &chat() const override;
    bool restart() override;
    bool next(chat::Record &record) override;
    qsizetype total() override;
    qsizetype consumed() const override;
    bool failed() const override;
    QString errorString() const override;

    // The sender a header line names: the line without the header text that ends it.
    static QString senderOf(const QString &headerLine, const QString &headerText);

private:
    struct Line
    {
        QString text;
        LineRole role = LineRole::Unknown;
        bool stamped = false;
        QString date, time;
        qsizetype repeated = 0;
    };
    bool read(); // the next line into m_line; false at the end
    chat::Moment moment(const Line &line) const;
    void message(chat::Record &record);
    // A framed notice; false for one that is left out.
    bool notice(chat::Record &record);

    LogReader &m_log;
    QString m_headerText;
    LineSorting m_sorting;
    SortLine m_sorter;
    mutable chat::Chat m_chat;
    std::optional<LineStamps::Cursor> m_cursor;
    qsizetype m_lineNumber = 0;
    Line m_line;
    bool m_pending = false; // m_line holds a line not yet taken
};
