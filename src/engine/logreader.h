#pragma once

#include "codec/cp932.h"
#include "linestamps.h"

#include <QFile>
#include <QString>
#include <functional>

// True when the path's last three characters are "xml" or "XML" (the XML history files).
bool isXmlLogPath(const QString &path);
// For a log without a name (standard input): true when its first bytes are an XML declaration,
// "<?xml" in UTF-8 (after a byte order mark or blanks) or in UTF-16 after its byte order mark.
bool startsLikeXml(QByteArrayView head);

// Reads a log line by line without holding the whole decoded text: the file is decoded from
// code page 932 in chunks and split at CR LF only (a lone CR or LF stays inside its line).
// A last line without a line break is kept; an empty file has no lines. XML histories are
// converted to the same header/message text first (they are held as that text).
//
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
    };
    // Applied to every line as it is read (the page's markup filter and hearts, for example).
    using Transform = std::function<void(QString &line)>;

    LogReader() = default;
    LogReader(const LogReader &) = delete;
    LogReader &operator=(const LogReader &) = delete;

    // Opens the log; `headerText` is the header text in force (used for XML histories).
    // Returns false when the log cannot be read.
    bool open(const QString &path, const QString &headerText);
    void setTransform(Transform transform) { m_transform = std::move(transform); }

    // The next line; false at the end of the log or when reading failed (see status()).
    bool readLine(QString &line);
    // Back to the first line, for a second pass over the same log.
    bool rewind();
    // Number of lines of the whole log, counted without decoding; the reading position is
    // not disturbed. 0 for a log that cannot be read.
    qsizetype lineCount();

    Status status() const { return m_status; }
    bool failed() const { return m_status != Status::Ok; }
    QString errorString() const { return m_error; }
    const QString &path() const { return m_path; }
    bool isXml() const { return m_xml; }
    // When the log's utterances were said, where its format tells (XML histories); line
    // numbers count the lines readLine hands out.
    const LineStamps &stamps() const { return m_stamps; }

private:
    bool fill(); // reads and decodes the next chunk; false at the end of the file
    void fail(Status status, const QString &error);

    QString m_path;
    bool m_xml = false;
    QString m_xmlText;
    LineStamps m_stamps;
    QFile m_file;
    cp932::Decoder m_decoder;
    QByteArray m_chunk;
    QString m_buf; // decoded text not yet handed out, from m_pos on
    qsizetype m_pos = 0; // start of the next line in m_buf
    qsizetype m_scan = 0; // where the search for the next CR LF goes on
    bool m_eof = true;
    bool m_done = true; // every line handed out
    qsizetype m_lineCount = -1;
    Status m_status = Status::NotFound;
    QString m_error;
    Transform m_transform;
};
