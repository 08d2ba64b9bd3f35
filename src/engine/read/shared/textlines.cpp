#include "engine/read/shared/textlines.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

using textcodec::LineEnd;

namespace {

// A line this long that fills the buffer is moved out of it (takeLine).
constexpr qsizetype LargeLine = 1 << 20;

// The first CR or LF in text[from, size), else size. Four characters at a time are passed over
// when none of them is a control character below CR (a borrow may flag a character after a
// real one, never one alone); the characters of a flagged four are looked at one by one.
qsizetype lineEndAt(const char16_t *text, qsizetype from, qsizetype size)
{
    constexpr quint64 Ones = 0x0001000100010001ULL;
    constexpr quint64 HighBits = 0x8000800080008000ULL;
    qsizetype at = from;
    while (at < size) {
        if (size - at >= 4) {
            quint64 word;
            std::memcpy(&word, text + at, sizeof word);
            if (((word - Ones * (u'\r' + 1)) & ~word & HighBits) == 0) {
                at += 4;
                continue;
            }
        }
        const qsizetype stop = qMin(at + 4, size);
        for (; at < stop; ++at) {
            if (text[at] == u'\n' || text[at] == u'\r')
                return at;
        }
    }
    return size;
}

} // namespace

TextLines::TextLines(QFile &file, const textcodec::Detection &detection, PieceDone pieceDone)
    : m_file(&file)
    , m_detection(detection)
    , m_pieceDone(std::move(pieceDone))
    , m_decoder(detection.encoding)
    , m_separator(detection.lineEnd == LineEnd::Cr ? u'\r' : u'\n')
{
}

TextLines::TextLines(QString text)
    : m_held(std::move(text))
{
}

void TextLines::fail(const QString &error)
{
    m_failed = true;
    m_error = error;
    m_buf.clear();
    m_pos = m_scan = 0;
    m_eof = m_done = true;
}

bool TextLines::restart()
{
    if (m_failed)
        return false;
    m_pos = m_scan = 0;
    m_done = false;
    m_consumed = 0;
    if (!m_file) {
        m_buf = m_held; // shared, not copied
        m_eof = true;
        return true;
    }
    m_decoder.reset();
    m_buf.clear();
    m_eof = false;
    if (!m_file->seek(m_detection.bomBytes)) {
        fail(m_file->errorString());
        return false;
    }
    return true;
}

bool TextLines::fill()
{
    if (m_eof)
        return false;
    if (m_pos > 0) {
        m_buf.remove(0, m_pos);
        m_scan -= m_pos;
        m_pos = 0;
    }
    m_chunk.resize(ChunkBytes);
    const qint64 got = m_file->read(m_chunk.data(), ChunkBytes);
    if (got < 0) {
        fail(m_file->errorString());
        return false;
    }
    m_eof = got == 0;
    m_decoder.decode(QByteArrayView(m_chunk.constData(), got), m_buf, m_eof);
    return true;
}

bool TextLines::read(QString &line, bool anyEnd, LineEnd *end, bool *ended)
{
    if (m_done)
        return false;
    const bool crLf = !m_file || m_detection.lineEnd == LineEnd::CrLf;
    if (ended)
        *ended = true;
    for (;;) {
        if (anyEnd) {
            // Every CR LF, LF or CR ends a line; a CR at the very end may still be followed by
            // the next piece's LF. One look finds either: lines are short, and a call per line
            // end looked for costs more than the look itself.
            const char16_t *text = reinterpret_cast<const char16_t *>(m_buf.constData());
            const qsizetype size = m_buf.size();
            const qsizetype at = lineEndAt(text, m_scan, size);
            if (at < size && (text[at] == u'\n' || at + 1 < size || m_eof)) {
                const bool pair = text[at] == u'\r' && at + 1 < size && text[at + 1] == u'\n';
                if (end)
                    *end = pair ? LineEnd::CrLf : text[at] == u'\n' ? LineEnd::Lf : LineEnd::Cr;
                takeLine(line, at - m_pos, at + (pair ? 2 : 1));
                ++m_consumed;
                return true;
            }
            m_scan = at;
        } else if (crLf) {
            // Look for CR LF; a CR at the very end may still be followed by the next piece's LF.
            qsizetype cr = m_buf.indexOf(u'\r', m_scan);
            while (cr >= 0 && cr + 1 < m_buf.size() && m_buf[cr + 1] != u'\n')
                cr = m_buf.indexOf(u'\r', cr + 1);
            if (cr >= 0 && cr + 1 < m_buf.size()) {
                takeLine(line, cr - m_pos, cr + 2);
                ++m_consumed;
                return true;
            }
            m_scan = cr >= 0 ? cr : m_buf.size();
        } else {
            const qsizetype end = m_buf.indexOf(m_separator, m_scan);
            if (end >= 0) {
                takeLine(line, end - m_pos, end + 1);
                ++m_consumed;
                return true;
            }
            m_scan = m_buf.size();
        }
        if (!fill()) {
            if (m_failed)
                return false;
            // The end of the text: what is left is a last line without a line break.
            m_done = true;
            if (m_pos >= m_buf.size())
                return false;
            if (ended)
                *ended = false;
            takeLine(line, m_buf.size() - m_pos, m_buf.size());
            ++m_consumed;
            return true;
        }
    }
}

void TextLines::takeLine(QString &line, qsizetype length, qsizetype next)
{
    // A line that is most of what is buffered (a log of one huge line) is moved out rather than
    // copied, so that it is never held twice; the little after it stays. A held text is kept
    // whole for the next pass.
    if (m_file && m_pos == 0 && length >= LargeLine && length * 2 > m_buf.size()) {
        QString rest = m_buf.sliced(next);
        line = std::move(m_buf);
        line.truncate(length);
        m_buf = std::move(rest);
        m_pos = m_scan = 0;
        return;
    }
    line.setUnicode(m_buf.constData() + m_pos, length);
    m_pos = m_scan = next;
}

qsizetype TextLines::countHeld() const
{
    qsizetype count = 0;
    const qsizetype n = m_held.size();
    qsizetype from = 0;
    for (qsizetype k; (k = m_held.indexOf(textcodec::CrLf, from)) >= 0; from = k + 2)
        ++count;
    return from < n ? count + 1 : count;
}

qsizetype TextLines::count(bool everyLf)
{
    if (!m_file)
        return countHeld();
    // Line ends are counted in the bytes: CR and LF are never part of a code page 932 or 949
    // pair or of a UTF-8 sequence, and UTF-16 is looked at unit by unit. The open file is read
    // at explicit offsets, so the reading position stays where it is.
    const auto &d = m_detection;
    const int unit = textcodec::isUtf16(d.encoding) ? 2 : 1;
    const int lo = d.encoding == textcodec::Encoding::Utf16BE ? 1 : 0; // a unit's low byte
    const char sep = d.lineEnd == LineEnd::Cr ? '\r' : '\n';
    const bool crLf = d.lineEnd == LineEnd::CrLf && !everyLf;
    QByteArray buf(ChunkBytes, Qt::Uninitialized);
    const char *p = buf.constData();
    // Whether the unit at byte offset u of the piece is the character c.
    const auto isChar = [&](qint64 u, char c) {
        return p[u + lo] == c && (unit == 1 || p[u + 1 - lo] == 0);
    };
    qsizetype count = 0;
    qint64 base = d.bomBytes; // file offset of the piece
    qint64 lineStart = base; // file offset after the last line end
    bool previousCr = false; // the unit before the piece is a CR
    for (;;) {
        const ssize_t got = ::pread(m_file->handle(), buf.data(), size_t(ChunkBytes), base);
        if (got < 0 && errno == EINTR)
            continue;
        const qint64 usable = got - got % unit; // the piece ends on a whole unit
        if (usable <= 0)
            break;
        for (qint64 from = lo; from < usable;) {
            const void *hit = std::memchr(p + from, sep, size_t(usable - from));
            if (!hit)
                break;
            const qint64 u = static_cast<const char *>(hit) - p - lo;
            from = u + lo + 1;
            if (u % unit != 0 || !isChar(u, sep))
                continue; // a byte of some other unit
            if (!crLf || (u > 0 ? isChar(u - unit, '\r') : previousCr)) {
                ++count;
                lineStart = base + u + unit;
            }
        }
        previousCr = isChar(usable - unit, '\r');
        base += usable;
        pieceDone();
    }
    return base > lineStart ? count + 1 : count;
}

void TextLines::survey(const std::function<void(QStringView)> &line)
{
    if (!m_file)
        return;
    // Only the start of a line matters to a survey: a longer line is cut, so that a log of one
    // huge line costs no more than any other.
    constexpr qsizetype KeptChars = 4096;
    textcodec::Decoder decoder(m_detection.encoding);
    QByteArray buf(ChunkBytes, Qt::Uninitialized);
    QString text;
    QString carried; // the start of a line the last piece left open
    bool cut = false; // the open line is longer than what is kept of it
    bool crBefore = false; // the last piece ended in a CR: an LF starting this one is its pair
    qint64 offset = m_detection.bomBytes;
    for (bool last = false; !last;) {
        ssize_t got;
        do {
            got = ::pread(m_file->handle(), buf.data(), size_t(ChunkBytes), offset);
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            return;
        last = got == 0;
        offset += got;
        text.resize(0);
        decoder.decode(QByteArrayView(buf.constData(), qMax<ssize_t>(got, 0)), text, last);
        pieceDone();
        qsizetype from = 0;
        if (crBefore && !text.isEmpty() && text[0] == u'\n')
            from = 1;
        crBefore = false;
        for (qsizetype at = from; at < text.size(); ++at) {
            const QChar c = text[at];
            if (c != u'\n' && c != u'\r')
                continue;
            const QStringView part = QStringView(text).sliced(from, at - from);
            if (carried.isEmpty() && !cut) {
                line(part.first(qMin(part.size(), KeptChars)));
            } else {
                if (!cut)
                    carried += part.first(qMin(part.size(), KeptChars - carried.size()));
                line(carried);
                carried.clear();
                cut = false;
            }
            if (c == u'\r') {
                if (at + 1 < text.size() && text[at + 1] == u'\n')
                    ++at;
                else if (at + 1 == text.size())
                    crBefore = true;
            }
            from = at + 1;
        }
        const QStringView open = QStringView(text).sliced(from);
        if (!cut && carried.size() + open.size() > KeptChars) {
            carried += open.first(KeptChars - carried.size());
            cut = true;
        } else if (!cut) {
            carried += open;
        }
    }
    if (!carried.isEmpty())
        line(carried);
}
