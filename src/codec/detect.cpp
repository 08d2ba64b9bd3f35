#include "detect.h"

#include "utf8.h"

#include <QtGlobal>
#include <algorithm>
#include <cstring>

namespace textcodec {
namespace {

// Enough of the start of a file to see its mark and, for UTF-16 without one, its byte order.
constexpr qsizetype HeadBytes = 4096;
// Pieces at least this long are validated as UTF-8 in several stretches at once.
constexpr qsizetype InterleaveBytes = 4096;
constexpr int Stretches = 8;

bool startsWith(const QByteArray &bytes, const char *prefix)
{
    return bytes.startsWith(QByteArrayView(prefix));
}

} // namespace

void Detector::feed(QByteArrayView piece)
{
    auto p = reinterpret_cast<const uint8_t *>(piece.data());
    const uint8_t *end = p + piece.size();
    if (!m_started) {
        const qsizetype take = qMin<qsizetype>(HeadBytes - m_head.size(), end - p);
        m_head.append(reinterpret_cast<const char *>(p), take);
        p += take;
        if (m_head.size() < HeadBytes)
            return;
        start();
    }
    scan(p, end);
}

Detection Detector::result()
{
    if (!m_started)
        start();
    if (!m_encodingKnown) {
        // A sequence still open at the end of the file is a character cut off there: the
        // file is UTF-8 when the rest of it says so.
        const bool utf8 = m_utf8Valid && (m_utf8State == 0 ? m_multibyte : m_completeMultibyte);
        m_result.encoding = utf8 ? Encoding::Utf8 : Encoding::ShiftJis;
        m_encodingKnown = true;
    }
    const qint64 lf = m_lf - m_crlf, cr = m_cr - m_crlf; // lone ones
    m_result.hasLineEnd = m_lf || m_cr;
    m_result.lineEnd = m_crlf >= lf && m_crlf >= cr ? LineEnd::CrLf
        : lf >= cr                                  ? LineEnd::Lf
                                                    : LineEnd::Cr;
    if (!m_result.hasLineEnd)
        m_result.lineEnd = LineEnd::CrLf;
    // Zero bytes, many, at one parity far more than at the other: UTF-16 text in part of
    // characters below U+0100 (line ends, digits), as 8-bit text never has them. (A kanji such
    // as U+4E00 puts a zero at the other parity now and then.) Japanese text may have too few
    // of those and too many of these: then its line ends tell it, each of them half of a unit
    // whose other half is zero.
    const qint64 more = qMax(m_zeros[0], m_zeros[1]), fewer = qMin(m_zeros[0], m_zeros[1]);
    const qint64 unitEnds = qMax(m_leEnds, m_beEnds);
    m_result.looksLikeUtf16 = m_choice == Choice::Auto && m_result.bomBytes == 0
        && m_offset % 2 == 0
        && ((more > 0 && more * 100 >= m_offset / 2 && more >= 4 * fewer)
            || (unitEnds > 0 && unitEnds == m_lf + m_cr));
    return m_result;
}

void Detector::start()
{
    m_started = true;
    const bool utf8Mark = startsWith(m_head, "\xEF\xBB\xBF");
    const bool leMark = startsWith(m_head, "\xFF\xFE");
    const bool beMark = startsWith(m_head, "\xFE\xFF");
    Detection &r = m_result;
    switch (m_choice) {
    case Choice::Auto:
        if (utf8Mark || leMark || beMark) {
            r.encoding = utf8Mark ? Encoding::Utf8 : leMark ? Encoding::Utf16LE : Encoding::Utf16BE;
            r.bomBytes = utf8Mark ? 3 : 2;
            m_encodingKnown = true;
        }
        break;
    case Choice::ShiftJis:
        r.encoding = Encoding::ShiftJis;
        m_encodingKnown = true;
        break;
    case Choice::Utf8:
        r.encoding = Encoding::Utf8;
        r.bomBytes = utf8Mark ? 3 : 0;
        m_encodingKnown = true;
        break;
    case Choice::Utf16:
        if (leMark || beMark) {
            r.encoding = leMark ? Encoding::Utf16LE : Encoding::Utf16BE;
            r.bomBytes = 2;
        } else {
            // A line end's zero half comes after it in little-endian units, before it in
            // big-endian ones; else text that is mostly ASCII has its zero bytes first in
            // big-endian units.
            qsizetype evenZeros = 0, oddZeros = 0, leEnds = 0, beEnds = 0;
            for (qsizetype i = 0; i < m_head.size(); ++i) {
                const char c = m_head[i];
                if (c == 0)
                    ++(i % 2 == 0 ? evenZeros : oddZeros);
                else if (c == '\n' || c == '\r')
                    ++(i % 2 == 0 ? leEnds : beEnds);
            }
            r.encoding = leEnds != beEnds
                ? (beEnds > leEnds ? Encoding::Utf16BE : Encoding::Utf16LE)
                : evenZeros > oddZeros ? Encoding::Utf16BE
                                       : Encoding::Utf16LE;
        }
        m_encodingKnown = true;
        break;
    }
    auto p = reinterpret_cast<const uint8_t *>(m_head.constData());
    m_offset = r.bomBytes;
    scan(p + r.bomBytes, p + m_head.size());
    m_head = QByteArray();
}

void Detector::scan(const uint8_t *p, const uint8_t *end)
{
    if (p >= end)
        return;
    if (m_encodingKnown && isUtf16(m_result.encoding)) {
        scanUnits(p, end);
        return;
    }
    if (!m_encodingKnown && m_utf8Valid)
        validateUtf8(p, end);
    if (m_choice == Choice::Auto && m_result.bomBytes == 0) {
        for (const uint8_t *z = p;
             (z = static_cast<const uint8_t *>(std::memchr(z, 0, size_t(end - z)))) != nullptr; ++z)
            ++m_zeros[(m_offset + (z - p)) % 2];
        scanUnitEnds(p, end);
    } else {
        scanLineEnds(p, end);
    }
    m_offset += end - p;
}

void Detector::validateUtf8(const uint8_t *p, const uint8_t *end)
{
    const uint8_t *const begin = p;
    const uint16_t *next = utf8::Validator.data();
    uint8_t high = 0; // the bytes' high bits, or-ed together
    uint32_t state = m_utf8State;
    if (end - p >= InterleaveBytes) {
        // Stretches validated side by side: each lookup waits for the one before it, so
        // independent chains keep the processor busy. Every stretch but the first starts at
        // the next byte that begins a character; the one before it must end accepting.
        constexpr int N = Stretches;
        const uint8_t *from[N + 1];
        from[0] = p;
        from[N] = end;
        for (int k = 1; k < N; ++k) {
            const uint8_t *b = p + (end - p) * k / N;
            for (int n = 0; n < 3 && (*b & 0xC0) == 0x80; ++n)
                ++b;
            from[k] = b;
        }
        uint32_t s[N] = {};
        s[0] = state;
        qsizetype common = end - from[N - 1];
        for (int k = 0; k + 1 < N; ++k)
            common = qMin<qsizetype>(common, from[k + 1] - from[k]);
        for (qsizetype i = 0; i < common; ++i) {
            for (int k = 0; k < N; ++k) {
                const uint8_t byte = from[k][i];
                s[k] = next[s[k] + byte];
                high |= byte;
            }
        }
        bool ok = true;
        for (int k = 0; k < N; ++k) {
            for (const uint8_t *r = from[k] + common; r < from[k + 1]; ++r) {
                s[k] = next[s[k] + *r];
                high |= *r;
            }
            if (k + 1 < N)
                ok &= s[k] == 0;
        }
        state = ok ? s[N - 1] : utf8::Reject;
    } else {
        for (; p < end; ++p) {
            state = next[state + *p];
            high |= *p;
        }
    }
    m_utf8State = state;
    m_multibyte |= (high & 0x80) != 0;
    if (!m_completeMultibyte && (high & 0x80) && state != utf8::Reject) {
        // Any high byte before the sequence this piece leaves open belongs to a whole one.
        const uint8_t *open = end;
        if (state != 0) {
            while (open > begin && end - open < 3 && (open[-1] & 0xC0) == 0x80)
                --open;
            if (open > begin && open[-1] >= 0xC0)
                --open;
        }
        m_completeMultibyte = std::any_of(begin, open, [](uint8_t b) { return b & 0x80; });
    }
    if (state == utf8::Reject) {
        // Not UTF-8: with no mark, that leaves code page 932.
        m_utf8Valid = false;
        m_result.encoding = Encoding::ShiftJis;
        m_encodingKnown = true;
    }
}

namespace {

// Calls `onEnd(z)` for every CR and every LF of the piece. CR and LF are never part of a code
// page 932 pair or of a UTF-8 sequence: each is found with one sweep.
template<typename OnEnd> void sweepEnds(const uint8_t *p, const uint8_t *end, OnEnd onEnd)
{
    for (const char c : {'\n', '\r'}) {
        for (const uint8_t *z = p;
             (z = static_cast<const uint8_t *>(std::memchr(z, c, size_t(end - z)))) != nullptr; ++z)
            onEnd(z);
    }
}

// Counts the line end at z of the piece that starts at p: every LF, every CR, and an LF after
// a CR (`crBefore`: the last piece ended in one) as a pair.
void countLineEnd(const uint8_t *p, const uint8_t *z, bool crBefore, qint64 &lf, qint64 &crlf,
                  qint64 &cr)
{
    if (*z == '\r') {
        ++cr;
        return;
    }
    ++lf;
    if (z > p ? z[-1] == '\r' : crBefore)
        ++crlf;
}

} // namespace

void Detector::scanUnitEnds(const uint8_t *p, const uint8_t *end)
{
    // The line ends too, in the same sweep (scanLineEnds() for a piece on its own).
    if (m_endAwaitsZero && *p == 0)
        ++m_leEnds;
    m_endAwaitsZero = false;
    sweepEnds(p, end, [&](const uint8_t *z) {
        countLineEnd(p, z, m_lastWasCr, m_lf, m_crlf, m_cr);
        if ((m_offset + (z - p)) % 2 == 0) {
            if (z + 1 == end)
                m_endAwaitsZero = true;
            else if (z[1] == 0)
                ++m_leEnds;
        } else if ((z > p ? int(z[-1]) : m_lastByte) == 0) {
            ++m_beEnds;
        }
    });
    m_lastByte = end[-1];
    m_lastWasCr = end[-1] == '\r';
}

void Detector::scanLineEnds(const uint8_t *p, const uint8_t *end)
{
    sweepEnds(p, end,
              [&](const uint8_t *z) { countLineEnd(p, z, m_lastWasCr, m_lf, m_crlf, m_cr); });
    m_lastWasCr = end[-1] == '\r';
}

void Detector::scanUnits(const uint8_t *p, const uint8_t *end)
{
    const bool le = m_result.encoding == Encoding::Utf16LE;
    uint8_t first = 0;
    bool haveFirst = false;
    if (m_oddByte >= 0) {
        first = uint8_t(m_oddByte);
        haveFirst = true;
        m_oddByte = -1;
    }
    for (; p < end; ++p) {
        if (!haveFirst) {
            first = *p;
            haveFirst = true;
            continue;
        }
        haveFirst = false;
        const char16_t unit = le ? char16_t(first | (*p << 8)) : char16_t((first << 8) | *p);
        if (unit == u'\n') {
            ++m_lf;
            m_crlf += m_lastWasCr;
        }
        m_cr += unit == u'\r';
        m_lastWasCr = unit == u'\r';
    }
    if (haveFirst)
        m_oddByte = first;
}

} // namespace textcodec
