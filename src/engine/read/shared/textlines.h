#pragma once

#include "codec/detect.h"
#include "codec/textcodec.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <functional>

// The lines of a text, handed out one by one without holding the whole decoded text: read from
// an open file piece by piece from after its mark, decoded as detected, or held whole (a text
// converted at once). A line ends at the text's own line end: at CR LF when that is it (a lone
// CR or LF then stays inside its line), otherwise at LF, or at CR; or, where asked, at every
// CR LF, LF and CR, with which one it was. A last line without a line end is kept; an empty
// text has no lines. A CR at the end of one piece may be paired with an LF starting the next.
class TextLines
{
public:
    // Called after every piece read outside the reading itself (counting, surveying).
    using PieceDone = std::function<void()>;

    TextLines(QFile &file, const textcodec::Detection &detection, PieceDone pieceDone);
    // A text held whole, its lines ending in CR LF.
    explicit TextLines(QString text);
    TextLines(const TextLines &) = delete;
    TextLines &operator=(const TextLines &) = delete;

    // Back to the first line; false when the file cannot be read from its start.
    bool restart();
    // The next line, ended at the text's line end; false at the end or when reading failed.
    bool next(QString &line) { return read(line, false, nullptr, nullptr); }
    // The next line, ended at any line end: `end` is the one it had, `ended` false for a last
    // line without one.
    bool nextAtAnyEnd(QString &line, textcodec::LineEnd &end, bool &ended)
    {
        return read(line, true, &end, &ended);
    }
    // How many lines have been handed out since the first.
    qsizetype consumed() const { return m_consumed; }

    // The number of lines of the whole text, counted without decoding a file; the reading
    // position is not disturbed. `everyLf`: every LF ends a line, CR LF or not.
    qsizetype count(bool everyLf = false);
    // Goes through every line of a file from its first, each ended at any line end, without
    // moving the reading position; only the start of a long line is given.
    void survey(const std::function<void(QStringView)> &line);

    bool failed() const { return m_failed; }
    const QString &errorString() const { return m_error; }

private:
    static constexpr qint64 ChunkBytes = 1 << 20;

    bool read(QString &line, bool anyEnd, textcodec::LineEnd *end, bool *ended);
    bool fill(); // reads and decodes the next piece; false at the end of the file
    // Hands out the buffered line of `length` characters from m_pos; `next` is where the next
    // line starts.
    void takeLine(QString &line, qsizetype length, qsizetype next);
    void fail(const QString &error);
    qsizetype countHeld() const;
    void pieceDone()
    {
        if (m_pieceDone)
            m_pieceDone();
    }

    QFile *m_file = nullptr; // none for a text held whole
    QString m_held;
    textcodec::Detection m_detection;
    PieceDone m_pieceDone;
    textcodec::Decoder m_decoder;
    QChar m_separator = u'\n'; // the line end, when it is a single character
    QByteArray m_chunk;
    QString m_buf; // decoded text not yet handed out, from m_pos on
    qsizetype m_pos = 0; // start of the next line in m_buf
    qsizetype m_scan = 0; // where the search for the next line end goes on
    bool m_eof = true;
    bool m_done = true; // every line handed out
    qsizetype m_consumed = 0;
    bool m_failed = false;
    QString m_error;
};
