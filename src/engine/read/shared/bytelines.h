#pragma once

#include "codec/detect.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

// The lines of a text log as the file's own bytes, split where TextLines splits them (at CR LF
// when that is the line end, a lone CR or LF staying inside its line; otherwise at LF, or at
// CR), for a writer that copies most lines as they are. Only for encodings in which a line end
// byte is never part of a character (code page 932, UTF-8). A line longer than LongLine is not
// gathered here: the reader says so, and the caller reads the log by its decoded lines instead.
class ByteLines
{
public:
    enum class Got { Line, End, TooLong, Failed };
    static constexpr qsizetype LongLine = 1 << 20;

    ByteLines(QFile &file, const textcodec::Detection &detection);
    ByteLines(const ByteLines &) = delete;
    ByteLines &operator=(const ByteLines &) = delete;

    // Back to the first line.
    void restart();
    // The next line, without its line end; valid until the next call. A last line without a
    // line end is a line too.
    Got next(QByteArrayView &line);
    // How many lines have been handed out.
    qsizetype consumed() const { return m_consumed; }
    const QString &errorString() const { return m_error; }

private:
    static constexpr qint64 ChunkBytes = 1 << 20;

    bool fill(); // false at the end of the file or when reading failed

    QFile &m_file;
    bool m_crLf;
    char m_separator;
    QByteArray m_buf;
    qsizetype m_pos = 0; // start of the next line in m_buf
    qsizetype m_scan = 0; // where the search for its line end goes on
    bool m_eof = false;
    bool m_started = false;
    qint64 m_start = 0; // the file offset of the first line (after the mark)
    qsizetype m_consumed = 0;
    QString m_error;
};
