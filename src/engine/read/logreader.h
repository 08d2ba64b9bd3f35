#pragma once

#include "codec/textcodec.h"
#include "engine/read/formats/lineexport/lineexport.h"
#include "engine/read/linerole.h"
#include "engine/read/linestamps.h"
#include "engine/read/logformat.h"

#include <QFile>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

// Reads a log line by line without holding the whole decoded text. Opening looks at the whole
// file first, piece by piece, to tell its encoding and line ends (codec/detect.h); the log is
// then decoded in pieces and split at its line end: at CR LF only when it holds any CR LF (a
// lone CR or LF then stays inside its line), otherwise at LF, or at CR when it holds no LF
// either. A last line without a line end is kept; an empty file has no lines.
//
// XML histories are converted to the header/message text first (they are held as that text);
// LINE talk-history exports are converted line by line as they are read (lineexport.h).
//
// What the reader knows of one line besides its text.
struct LineInfo
{
    // What the log's structure says the line is (LineRole::Unknown for a text log).
    LineRole role = LineRole::Unknown;
    // How the line ends in the file, where lines may end in different ways (a LINE export);
    // empty where the log's one line end (LogFormat) holds.
    std::optional<textcodec::LineEnd> end;
};

// A log that cannot be read has no lines; status() says why.
class LogReader
{
public:
    enum class Status {
        Ok,
        NotFound, // no such file
        IsDirectory, // a folder was given as a log
        NotReadable, // could not be opened
        NotRegular, // a FIFO, a device or a socket: refused without waiting on it
        ReadError, // reading failed part-way; the lines read so far must not be used
        XmlNotLoaded, // the XML history could not be loaded ("Can't load xml")
        Undecodable, // bytes the chosen encoding cannot hold (an odd number for UTF-16)
    };
    // Applied to every line as it is read (the page's markup filter and hearts, for example).
    using Transform = std::function<void(QString &line)>;

    LogReader() = default;
    LogReader(const LogReader &) = delete;
    LogReader &operator=(const LogReader &) = delete;

    // Opens the log; `headerText` is the header text in force (used for XML histories and
    // LINE exports), `choice` the encoding asked for. Returns false when the log cannot be read.
    bool open(const QString &path, const QString &headerText,
              textcodec::Choice choice = textcodec::Choice::Auto);
    void setTransform(Transform transform) { m_transform = std::move(transform); }
    // Whether a LINE export's stamps are noted (a page wants them; the indented text does not).
    void setStampsWanted(bool wanted) { m_stampsWanted = wanted; }
    // Called after every piece of the file read outside readLine() (detection, counting), so
    // that a window stays responsive on a huge log.
    void setPieceDone(std::function<void()> pieceDone) { m_pieceDone = std::move(pieceDone); }

    // The next line; false at the end of the log or when reading failed (see status()). With
    // `info`, what else is known of it.
    bool readLine(QString &line, LineInfo *info = nullptr);
    // Back to the first line, for a second pass over the same log.
    bool rewind();
    // Number of lines of the whole log file, counted without decoding; the reading position is
    // not disturbed. 0 for a log that cannot be read. For a LINE export these are the export's
    // own lines, which readLine() turns into more or fewer lines: progress is measured in them.
    qsizetype lineCount();
    // How many of those lines have been read so far.
    qsizetype linesConsumed() const { return m_consumed; }

    // What the log was read as (known once open() succeeded).
    const LogFormat &format() const { return m_format; }
    Status status() const { return m_status; }
    bool failed() const { return m_status != Status::Ok; }
    QString errorString() const { return m_error; }
    const QString &path() const { return m_path; }
    bool isXml() const { return m_format.xml; }
    // When the log's utterances were said, where its format tells (XML histories, LINE
    // exports); line numbers count the lines readLine hands out. A LINE export's stamps are
    // complete once the log has been read to its end (the first pass of a page).
    const LineStamps &stamps() const { return m_stamps; }
    // Notes in the format what the log looks like, for a log that gave no speakers.
    void lookAtForeignKind();
    // The chat's name where the log tells it (a LINE export's title); empty otherwise.
    QString chatName() const { return m_lineExport ? m_lineExport->chatName() : QString(); }

private:
    static constexpr qint64 ChunkBytes = 1 << 20;
    // How much of a log's start is looked at to tell whether it is a LINE export.
    static constexpr qsizetype HeadBytes = 64 * 1024;

    // logsurvey.cpp: what the log is.
    bool detect(textcodec::Choice choice);
    FormatId formatByHead(); // as the list of formats tells from the head
    QString head(); // the first kilobytes, decoded, read apart from the reading position
    // A line of the file itself, before any conversion. `anyEnd`: every line end ends a line
    // (a LINE export), and `end` tells which (`ended` false for a last line without one);
    // otherwise only the log's own line end does.
    bool readExportLine(QString &line, bool anyEnd = false, textcodec::LineEnd *end = nullptr,
                        bool *ended = nullptr);
    // Goes through every line of the file from its first, without moving the reading position.
    void surveyLines(const std::function<void(QStringView)> &line);
    bool fill(); // reads and decodes the next piece; false at the end of the file
    // Hands out the buffered line of `length` characters from m_pos; `next` is where the next
    // line starts.
    void takeLine(QString &line, qsizetype length, qsizetype next);
    void fail(Status status, const QString &error);
    qsizetype countLines();
    void pieceDone()
    {
        if (m_pieceDone)
            m_pieceDone();
    }

    QString m_path;
    QString m_headerText;
    textcodec::Choice m_choice = textcodec::Choice::Auto;
    LogFormat m_format;
    QString m_xmlText;
    QByteArray m_xmlRoles; // one LineRole per line of m_xmlText
    LineStamps m_stamps;
    QFile m_file;
    textcodec::Decoder m_decoder;
    QChar m_separator = u'\n'; // the line end, when it is a single character
    std::unique_ptr<LineExportConverter> m_lineExport;
    LineExportConverter::Converted m_converted; // its buffer is reused
    QDate m_stampDate; // the date of the last stamp, and its text
    QString m_stampDateText;
    qsizetype m_linesOut = 0; // lines handed out in this pass (a LINE export's stamps)
    bool m_stampsDone = false; // a LINE export was read to its end once
    bool m_stampsWanted = true;
    QByteArray m_chunk;
    QString m_buf; // decoded text not yet handed out, from m_pos on
    qsizetype m_pos = 0; // start of the next line in m_buf
    qsizetype m_scan = 0; // where the search for the next line end goes on
    bool m_eof = true;
    bool m_done = true; // every line handed out
    qsizetype m_lineCount = -1;
    qsizetype m_consumed = 0;
    Status m_status = Status::NotFound;
    QString m_error;
    Transform m_transform;
    std::function<void()> m_pieceDone;
};
