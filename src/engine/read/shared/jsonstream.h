#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <algorithm>
#include <bit>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// The device under a JsonPull, read a piece at a time (jsonpull.cpp alone includes this).
namespace jsonstream {

constexpr qint64 ChunkBytes = 64 * 1024;

// The line feeds in [p, end): counted in bytes side by side, 255 bytes at a time, which the
// compiler turns into vector code.
inline qint64 newlines(const char *p, const char *end)
{
    qint64 n = 0;
    while (p < end) {
        const qint64 block = std::min<qint64>(end - p, 255);
        unsigned char inBlock = 0;
        for (qint64 i = 0; i < block; ++i)
            inBlock += p[i] == '\n';
        n += inBlock;
        p += block;
    }
    return n;
}

// The device read a piece at a time; '\0' at the end. What is taken may be kept aside too (a
// value read whole). Lines are counted a piece at a time too, as it is left, since only a
// broken text asks for them.
class DeviceStream
{
public:
    explicit DeviceStream(QIODevice &device)
        : m_device(device)
        // RapidJSON's SSE2 string scan reads whole aligned blocks of 16 bytes: the one holding
        // the NUL after a piece may reach up to 15 bytes past it, still within the buffer.
        // Room for two pieces: what is left of one, and the next read after it (extend()).
        , m_buf(2 * ChunkBytes + 1 + 16, '\0')
    {
    }
    void reset()
    {
        m_base = m_device.isSequential() ? 0 : m_device.pos();
        m_read = 0;
        m_size = m_pos = 0;
        m_lines = 1;
        m_failed = false;
        m_eof = false;
        capture = nullptr;
        fill();
        if (m_size - m_pos >= 3 && QByteArrayView(m_buf.constData(), 3) == "\xEF\xBB\xBF")
            m_pos = 3;
    }

    // Reads on from `offset` bytes into the text, which is on line `line` there: the device is
    // moved there, or read on to there where it cannot be moved (an archive's entry). False
    // when it cannot be.
    bool resumeAt(qint64 offset, qint64 line)
    {
        const qint64 pieceStart = m_read - m_size;
        if (offset >= pieceStart && offset <= m_read) { // in the piece read
            m_pos = offset - pieceStart;
        } else if (!m_device.isSequential() && m_device.seek(m_base + offset)) {
            m_read = offset;
            m_size = m_pos = 0;
            m_eof = false;
            fill();
        } else {
            if (offset < m_read)
                return false;
            while (m_read < offset) {
                const qint64 got
                    = m_device.read(m_buf.data(), std::min(ChunkBytes, offset - m_read));
                if (got <= 0)
                    return false;
                m_read += got;
            }
            m_size = m_pos = 0;
            fill();
        }
        m_lines = line - newlines(m_buf.constData(), m_buf.constData() + m_pos);
        m_pendingEscape = false;
        capture = nullptr;
        return !m_failed;
    }

    char peek() const { return m_pos < m_size ? m_buf[m_pos] : '\0'; }
    bool atEnd() const { return m_pos >= m_size; }
    char take()
    {
        if (m_pos >= m_size)
            return '\0';
        if (capture)
            capture->append(m_buf[m_pos]);
        return takeByte();
    }
    void skipSpace()
    {
        for (;;) {
            const char c = peek();
            if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
                return;
            take();
        }
    }
    // Passes over the rest of an object or array whose opening bracket was taken, to its
    // closing one: a tight scan that only follows strings and brackets. False when the text
    // ends first.
    bool scanContainer()
    {
        int depth = 1;
        bool inString = false;
        while (m_pos < m_size) {
            qint64 i = m_pos;
            const bool closed = scanPiece(i, depth, inString);
            m_pos = i;
            if (closed)
                break;
            fill();
            if (m_pendingEscape && m_pos < m_size) // the escaped byte, whatever it is
                ++m_pos;
            m_pendingEscape = false;
        }
        if (m_pos == m_size && depth == 0)
            fill();
        return depth == 0;
    }
    // The bytes left in the piece read, from `back` bytes before the current one (0 or 1),
    // ended by a '\0' that is no part of the text; null when those bytes are not all there.
    const char *piece(qint64 back) const
    {
        return m_pos >= back && m_pos < m_size ? m_buf.constData() + m_pos - back : nullptr;
    }
    // The bytes left in the piece read.
    qint64 left() const { return m_size - m_pos; }
    // For a value that runs past the piece read: what is left of it from `back` bytes before
    // the current one, moved to the buffer's start, with the next piece read after it. False
    // when it is too long for that or the device has nothing more (which reading on tells).
    bool extend(qint64 back)
    {
        const qint64 from = m_pos - back;
        const qint64 keep = m_size - from;
        if (m_eof || from < 0 || keep > ChunkBytes)
            return false;
        m_lines += newlines(m_buf.constData(), m_buf.constData() + from);
        std::memmove(m_buf.data(), m_buf.constData() + from, size_t(keep));
        m_pos = back;
        m_size = keep;
        const qint64 got = m_device.read(m_buf.data() + m_size, ChunkBytes);
        if (got < 0)
            m_failed = true;
        if (got <= 0)
            m_eof = true;
        else
            m_size += got;
        m_read += qMax<qint64>(got, 0);
        m_buf[m_size] = '\0';
        return got > 0;
    }
    // Passes over `count` bytes of the piece, as taking them one by one would.
    void pass(qint64 count)
    {
        m_pos += count;
        if (m_pos == m_size)
            fill();
    }
    // For RapidJSON reading straight from the pieces: a byte as it stands, and one taken.
    char peekByte() const { return m_pos < m_size ? m_buf[m_pos] : '\0'; }
    char takeByte()
    {
        if (m_pos >= m_size)
            return '\0';
        const char c = m_buf[m_pos++];
        if (m_pos == m_size)
            fill();
        return c;
    }
    // Whether the text ended: no byte is left, and the device has none.
    bool ended() const { return m_pos >= m_size && m_eof; }
    qint64 offset() const { return m_read - (m_size - m_pos); }
    qint64 lines() const
    {
        return m_lines + newlines(m_buf.constData(), m_buf.constData() + m_pos);
    }
    bool failed() const { return m_failed; }
    QString error() const { return m_device.errorString(); }

    QByteArray *capture = nullptr;

private:
    // scanContainer() over the piece from `i`: true with `i` past the closing bracket, else
    // false with `i` at the piece's end (m_pendingEscape where a backslash ended it). Only
    // quotes, backslashes and brackets matter: they are found 16 bytes at a time, and the
    // bytes between them are passed over unread.
    bool scanPiece(qint64 &i, int &depth, bool &inString)
    {
        const char *const p = m_buf.constData();
        qint64 escaped = -1; // the byte after a backslash in a string
        const auto at = [&](qint64 k) {
            if (k == escaped)
                return false;
            const char c = p[k];
            if (inString) {
                if (c == '\\')
                    escaped = k + 1;
                else if (c == '"')
                    inString = false;
            } else if (c == '"') {
                inString = true;
            } else if (c == '{' || c == '[') {
                ++depth;
            } else if ((c == '}' || c == ']') && --depth == 0) {
                return true;
            }
            return false;
        };
#ifdef __SSE2__
        // The buffer holds 16 bytes past any piece (see the constructor): a block that runs past
        // the piece's end is read whole and its bits past the end are dropped.
        for (; i < m_size; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
            const auto is = [&v](char c) {
                return _mm_cmpeq_epi8(v, _mm_set1_epi8(c));
            };
            const __m128i any = _mm_or_si128(
                _mm_or_si128(_mm_or_si128(is('"'), is('\\')), _mm_or_si128(is('{'), is('['))),
                _mm_or_si128(is('}'), is(']')));
            unsigned bits = unsigned(_mm_movemask_epi8(any));
            if (m_size - i < 16)
                bits &= (1u << (m_size - i)) - 1;
            for (; bits; bits &= bits - 1) {
                const qint64 k = i + std::countr_zero(bits);
                if (at(k)) {
                    i = k + 1;
                    return true;
                }
            }
        }
#else
        for (; i < m_size; ++i) {
            if (at(i)) {
                ++i;
                return true;
            }
        }
#endif
        i = m_size;
        m_pendingEscape = escaped == m_size;
        return false;
    }

    void fill()
    {
        m_lines += newlines(m_buf.constData(), m_buf.constData() + m_size);
        m_pos = m_size = 0;
        if (m_eof)
            return;
        const qint64 got = m_device.read(m_buf.data(), ChunkBytes);
        if (got < 0)
            m_failed = true;
        if (got <= 0) {
            m_eof = true;
            return;
        }
        m_size = got;
        m_read += got;
        m_buf[m_size] = '\0'; // where a read from memory stops (piece())
    }

    QIODevice &m_device;
    QByteArray m_buf;
    qint64 m_size = 0;
    qint64 m_pos = 0;
    qint64 m_base = 0; // where the device stood when the text began
    qint64 m_read = 0;
    qint64 m_lines = 1; // up to the piece read
    bool m_failed = false;
    bool m_eof = false;
    bool m_pendingEscape = false;
};

} // namespace jsonstream
