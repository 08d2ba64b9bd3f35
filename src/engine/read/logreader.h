#pragma once

#include "codec/textcodec.h"
#include "engine/read/formats/chatformat.h"
#include "engine/read/linerecords.h"
#include "engine/read/linestamps.h"
#include "engine/read/logformat.h"

#include <QFile>
#include <QHash>
#include <QString>
#include <QTemporaryFile>
#include <QTimeZone>
#include <functional>
#include <memory>
#include <optional>

// Reads a log line by line without holding the whole decoded text. A log may also be one chat
// of an export that holds many, or a log in a ZIP or TAR (exportpaths.h). Opening looks at the
// whole file first, piece by piece, to tell its encoding and line ends (codec/detect.h), then asks
// the list of formats which one the log is in (formats/formats.h), and that format's reader gives
// its lines: a text log split at its line end (shared/textlines.h), a LINE talk-history export
// converted line by line as it is read (lineexport.h), an XML history converted whole and held
// as that text (xmllog.h). A last line without a line end is kept; an empty file has no lines.
//
// A log that cannot be read has no lines; status() says why.
class MergedLog;

class ChatPlaces;

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
    // Whether the log is read more than once (a page is written in two passes): an export's
    // lines may then be kept from the first. Set before open().
    void setReadAgain(bool again) { m_readAgain = again; }
    // The time zone an export's instants (UTC times, times with an offset) are shown in; the
    // system's when none is set. Set before open().
    void setTimeZone(const QTimeZone &zone) { m_timeZone = zone; }
    // Names for the ids an export gives people as (chat/exportnames.h). Set before open().
    void setNames(const QHash<QString, QString> &names) { m_names = names; }
    // Where the run notes the places of the chats in an export's files (read/shared/chatplaces.h).
    void setChatPlaces(ChatPlaces *places) { m_places = places; }
    // Applied to the names a message was sent to, as its stamp notes them.
    void setRecipientFilter(std::function<void(QString &)> filter)
    {
        m_stamps.setRecipientFilter(std::move(filter));
    }
    // Reads the log together with other exports of the same chat, as one (mergedlog.h); the
    // lines of a text log among them are sorted by `sorting`. Set before open().
    void setMergedWith(const QStringList &others, LineSorting sorting)
    {
        m_mergedWith = others;
        m_sorting = std::move(sorting);
    }
    // Called after every piece of the file read outside readLine() (detection, counting), so
    // that a window stays responsive on a huge log.
    void setPieceDone(std::function<void()> pieceDone) { m_pieceDone = std::move(pieceDone); }

    // Whether only the header lines' text is wanted until this is undone (a page's pass for its
    // speakers): lines of another known role may come empty and are not transformed.
    void setHeadersOnly(bool only)
    {
        m_headersOnly = only;
        if (m_reader)
            m_reader->setHeadersOnly(only);
    }
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
    qsizetype linesConsumed() const { return m_reader ? m_reader->linesConsumed() : 0; }

    // What the log was read as (known once open() succeeded).
    const LogFormat &format() const { return m_format; }
    Status status() const { return m_status; }
    bool failed() const { return m_status != Status::Ok; }
    QString errorString() const { return m_error; }
    const QString &path() const { return m_path; }
    bool isXml() const { return m_format.xml(); }
    // When the log's utterances were said, where its format tells (XML histories, LINE
    // exports); line numbers count the lines readLine hands out. A LINE export's stamps are
    // complete once the log has been read to its end (the first pass of a page).
    const LineStamps &stamps() const { return m_stamps; }
    // Notes in the format what the log looks like, for a log that gave no speakers.
    void lookAtForeignKind();
    // The chat's name where the log tells it (a LINE export's title); empty otherwise.
    QString chatName() const { return m_reader ? m_reader->chatName() : QString(); }
    QStringList people() const { return m_reader ? m_reader->people() : QStringList(); }
    QString shownZone() const { return m_reader ? m_reader->shownZone() : QString(); }
    QString savedOn() const { return m_reader ? m_reader->savedOn() : QString(); }
    // Each file the log was read from, with the saved-on date it tells: the log itself, or each
    // export merged into it.
    struct SourceRead
    {
        QString path;
        QString savedOn;
    };
    QList<SourceRead> sourcesRead() const;

private:
    static constexpr qint64 ChunkBytes = 1 << 20;
    // How much of a log's start is looked at to tell whether it is a LINE export.
    static constexpr qsizetype HeadBytes = 64 * 1024;

    bool openFile(const QString &path, const QString &name);
    // A chat of an export that holds many ("talks.zip/Ann"), or a log in a ZIP or TAR.
    bool openChat(const QString &container, const QString &key);
    // The log and those it is merged with, as one.
    bool openMerged();
    // The lines of records, as read from a chat export (its reader) or merged ones.
    bool openRecords(std::unique_ptr<RecordReader> records, FormatId id);

    // logsurvey.cpp: what the log is.
    // `headOnly`: from the first bytes alone, for a JSON export that is UTF-8 by its kind and
    // read as bytes by its own reader (a whole scan of a gigabyte would tell nothing more).
    bool detect(textcodec::Choice choice, bool headOnly = false);
    FormatId formatByHead(); // as the list of formats tells from the head
    QByteArray headBytes(); // the first kilobytes, read apart from the reading position
    QString head(); // and decoded
    // The encoding of a KakaoTalk export that is not UTF-8 throughout; none for any other log.
    std::optional<textcodec::Encoding> kakaoTalkEncoding();
    void fail(Status status, const QString &error);
    void pieceDone()
    {
        if (m_pieceDone)
            m_pieceDone();
    }

    QString m_path;
    QString m_diskPath; // where the file read is: the path, or a temporary copy
    QString m_headerText;
    textcodec::Choice m_choice = textcodec::Choice::Auto;
    LogFormat m_format;
    LineStamps m_stamps;
    QFile m_file;
    bool m_stampsWanted = true;
    bool m_readAgain = false;
    QTimeZone m_timeZone;
    QHash<QString, QString> m_names;
    ChatPlaces *m_places = nullptr;
    QStringList m_mergedWith;
    const MergedLog *m_merged = nullptr; // the exports merged, held by m_reader
    LineSorting m_sorting;
    std::unique_ptr<FormatReader> m_reader; // the lines, as the log's format reads them
    std::unique_ptr<QTemporaryFile> m_extracted; // a log copied out of a ZIP or TAR
    qsizetype m_lineCount = -1;
    Status m_status = Status::NotFound;
    QString m_error;
    Transform m_transform;
    bool m_headersOnly = false;
    std::function<void()> m_pieceDone;
};
