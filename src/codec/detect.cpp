#include "detect.h"

#include "utf8.h"

#include <cstring>

namespace textcodec {
namespace {

// Enough of the start of a file to see its mark and, for UTF-16 without one, its byte order.
constexpr qsizetype HeadBytes = 4096;

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

bool Detector::settled() const
{
    return m_started && m_encodingKnown && m_crlf;
}

Detection Detector::result()
{
    if (!m_started)
        start();
    if (!m_encodingKnown) {
        // A sequence still cut off at the end of the file makes it no valid UTF-8.
        const bool utf8 = m_utf8Valid && m_carrySize == 0 && m_multibyte;
        m_result.encoding = utf8 ? Encoding::Utf8 : Encoding::ShiftJis;
        m_encodingKnown = true;
    }
    m_result.hasLineEnd = m_crlf || m_lf || m_cr;
    m_result.lineEnd = m_crlf ? LineEnd::CrLf
        : m_lf                ? LineEnd::Lf
        : m_cr                ? LineEnd::Cr
                              : LineEnd::CrLf;
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
            // Text that is mostly ASCII has its zero bytes first in big-endian units.
            qsizetype evenZeros = 0, oddZeros = 0;
            for (qsizetype i = 0; i < m_head.size(); ++i) {
                if (m_head[i] == 0)
                    ++(i % 2 == 0 ? evenZeros : oddZeros);
            }
            r.encoding = evenZeros > oddZeros ? Encoding::Utf16BE : Encoding::Utf16LE;
        }
        m_encodingKnown = true;
        break;
    }
    auto p = reinterpret_cast<const uint8_t *>(m_head.constData());
    scan(p + r.bomBytes, p + m_head.size());
    m_head = QByteArray();
}

void Detector::scan(const uint8_t *p, const uint8_t *end)
{
    if (p >= end || settled())
        return;
    if (m_encodingKnown && isUtf16(m_result.encoding)) {
        scanUnits(p, end);
        return;
    }
    if (!m_encodingKnown && m_utf8Valid)
        validateUtf8(p, end);
    if (!m_crlf)
        scanLineEnds(p, end);
}

void Detector::validateUtf8(const uint8_t *p, const uint8_t *end)
{
    char32_t cp;
    if (m_carrySize > 0) {
        uint8_t joined[8];
        std::memcpy(joined, m_carry, size_t(m_carrySize));
        const int taken = int(qMin<qsizetype>(3, end - p));
        std::memcpy(joined + m_carrySize, p, size_t(taken));
        const int len = utf8::sequence(joined, joined + m_carrySize + taken, cp);
        if (len < 0) {
            std::memcpy(m_carry, joined, size_t(m_carrySize + taken));
            m_carrySize += taken;
            return;
        }
        if (len == 0) {
            m_utf8Valid = false;
        } else {
            m_multibyte = true;
            p += len - m_carrySize;
        }
        m_carrySize = 0;
    }
    while (m_utf8Valid && p < end) {
        if (end - p >= 8 && utf8::ascii8(p)) {
            p += 8;
            continue;
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int len = utf8::sequence(p, end, cp);
        if (len < 0) {
            m_carrySize = int(end - p);
            std::memcpy(m_carry, p, size_t(m_carrySize));
            return;
        }
        if (len == 0)
            m_utf8Valid = false;
        m_multibyte = true;
        p += len;
    }
    if (!m_utf8Valid) {
        // Not UTF-8: with no mark, that leaves code page 932.
        m_result.encoding = Encoding::ShiftJis;
        m_encodingKnown = true;
    }
}

void Detector::scanLineEnds(const uint8_t *p, const uint8_t *end)
{
    // CR and LF are never part of a code page 932 pair or of a UTF-8 sequence.
    if (!m_cr)
        m_cr = std::memchr(p, '\r', size_t(end - p)) != nullptr;
    const uint8_t *from = p;
    while (const void *hit = std::memchr(from, '\n', size_t(end - from))) {
        const auto *lf = static_cast<const uint8_t *>(hit);
        if (lf > p ? lf[-1] == '\r' : m_lastWasCr) {
            m_crlf = true;
            return;
        }
        m_lf = true;
        from = lf + 1;
    }
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
            if (m_lastWasCr) {
                m_crlf = true;
                return;
            }
            m_lf = true;
        }
        m_cr |= unit == u'\r';
        m_lastWasCr = unit == u'\r';
    }
    if (haveFirst)
        m_oddByte = first;
}

} // namespace textcodec
