#include "textcodec.h"

#include "cp932.h"
#include "samebytes.h"
#include "utf8.h"

#include <cstring>

namespace textcodec {
namespace {

constexpr char16_t EscapeBase = 0xDC00; // a byte b that does not decode: U+DC00 + b
constexpr char16_t Replacement = 0xFFFD;

// A valid sequence of three bytes at p, decoded and passed; false, with nothing done, for any
// other.
inline bool threeBytes(const uint8_t *&p, const uint8_t *end, char16_t *&o)
{
    if ((p[0] & 0xF0) != 0xE0 || end - p < 3 || (p[1] & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80)
        return false;
    const char16_t c = char16_t(((p[0] & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
    if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    *o++ = c;
    p += 3;
    return true;
}

// Decodes the sequences that start before `stop` (they may reach up to `end`). Returns where
// decoding stopped: at or past `stop`, or at a sequence cut off by `end`.
const uint8_t *decodeUtf8Run(const uint8_t *p, const uint8_t *stop, const uint8_t *end,
                             char16_t *&o)
{
    while (p < stop) {
        const uint8_t b = *p;
        if (b < 0x80) {
            if (stop - p >= 8 && utf8::ascii8(p)) {
                for (int i = 0; i < 8; ++i)
                    *o++ = p[i];
                p += 8;
            } else {
                // Some byte of the next eight (or the end) is no ASCII: up to it byte by byte.
                do
                    *o++ = *p++;
                while (p < stop && *p < 0x80);
            }
            continue;
        }
        // Three bytes, as most Japanese characters take, one after another: checked without
        // the general path (and without a look for ASCII first, which each would pay for).
        if (threeBytes(p, end, o)) {
            while (p < stop && threeBytes(p, end, o)) { }
            continue;
        }
        char32_t cp;
        const int len = utf8::sequence(p, end, cp);
        if (len < 0)
            return p;
        if (len == 0) {
            *o++ = char16_t(EscapeBase + *p++);
            continue;
        }
        if (cp >= 0x10000) {
            *o++ = char16_t(0xD800 + ((cp - 0x10000) >> 10));
            *o++ = char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            *o++ = char16_t(cp);
        }
        p += len;
    }
    return p;
}

// UTF-8 for a file (`escapes`: a lone U+DC80 … U+DCFF is written back as its byte) or for a
// page (every lone surrogate becomes U+FFFD).
void encodeUtf8(QStringView text, QByteArray &out, bool escapes)
{
    qsizetype pos = out.size();
    out.resize(pos + text.size() * 3);
    auto *o = reinterpret_cast<uint8_t *>(out.data()) + pos;
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    while (p < end) {
        char32_t c = *p++;
        if (c < 0x80) {
            *o++ = uint8_t(c);
            continue;
        }
        if (c < 0x800) {
            *o++ = uint8_t(0xC0 | (c >> 6));
            *o++ = uint8_t(0x80 | (c & 0x3F));
            continue;
        }
        if (c >= 0xD800 && c < 0xE000) {
            if (c < 0xDC00 && p < end && *p >= 0xDC00 && *p < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (*p++ - 0xDC00);
                *o++ = uint8_t(0xF0 | (c >> 18));
                *o++ = uint8_t(0x80 | ((c >> 12) & 0x3F));
                *o++ = uint8_t(0x80 | ((c >> 6) & 0x3F));
                *o++ = uint8_t(0x80 | (c & 0x3F));
                continue;
            }
            if (escapes && c >= EscapeBase + 0x80 && c <= EscapeBase + 0xFF) {
                *o++ = uint8_t(c - EscapeBase);
                continue;
            }
            c = Replacement;
        }
        *o++ = uint8_t(0xE0 | (c >> 12));
        *o++ = uint8_t(0x80 | ((c >> 6) & 0x3F));
        *o++ = uint8_t(0x80 | (c & 0x3F));
    }
    out.resize(o - reinterpret_cast<uint8_t *>(out.data()));
}

} // namespace

bool writtenBackAsIs(QByteArrayView bytes, Encoding encoding)
{
    if (encoding == Encoding::ShiftJis)
        return cp932RoundTrips(bytes);
    if (encoding != Encoding::Utf8)
        return false;
    auto p = reinterpret_cast<const uint8_t *>(bytes.data());
    const uint8_t *end = p + bytes.size();
    uint32_t state = 0;
    while (p < end) {
        if (state == 0 && end - p >= 8 && utf8::ascii8(p)) {
            p += 8;
            continue;
        }
        state = utf8::Validator[state + *p++];
    }
    return state == 0;
}

bool isUtf16(Encoding encoding)
{
    return encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE;
}

void Decoder::decode(QByteArrayView bytes, QString &out, bool last)
{
    switch (m_encoding) {
    case Encoding::ShiftJis:
        m_sjis.decode(bytes, out, last);
        return;
    case Encoding::Cp949:
        m_cp949.decode(bytes, out, last);
        return;
    case Encoding::Utf8:
        decodeUtf8(bytes, out, last);
        return;
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        decodeUtf16(bytes, out, last);
        return;
    }
}

void Decoder::decodeUtf8(QByteArrayView bytes, QString &out, bool last)
{
    auto p = reinterpret_cast<const uint8_t *>(bytes.data());
    const uint8_t *end = p + bytes.size();
    const qsizetype base = out.size();
    out.resize(base + bytes.size() + m_pendingSize + 1);
    char16_t *const start = reinterpret_cast<char16_t *>(out.data()) + base;
    char16_t *o = start;

    if (m_pendingSize > 0) {
        // The sequence cut off at the end of the last piece, completed from this one.
        uint8_t joined[8];
        std::memcpy(joined, m_pending, size_t(m_pendingSize));
        const int taken = int(qMin<qsizetype>(3, end - p));
        std::memcpy(joined + m_pendingSize, p, size_t(taken));
        const uint8_t *stop = joined + m_pendingSize;
        const uint8_t *r = decodeUtf8Run(joined, stop, stop + taken, o);
        if (r < stop) {
            // Still cut off: this piece was shorter than the rest of the sequence.
            const int left = int(stop + taken - r);
            std::memmove(m_pending, r, size_t(left));
            m_pendingSize = left;
            p = end;
        } else {
            p += r - stop;
            m_pendingSize = 0;
        }
    }
    if (p < end) {
        p = decodeUtf8Run(p, end, end, o);
        m_pendingSize = int(end - p);
        std::memcpy(m_pending, p, size_t(m_pendingSize));
    }
    if (last) {
        // A cut-off sequence at the end of the file: its bytes are kept one by one.
        for (int i = 0; i < m_pendingSize; ++i)
            *o++ = char16_t(EscapeBase + m_pending[i]);
        m_pendingSize = 0;
    }
    out.resize(base + (o - start));
}

void Decoder::decodeUtf16(QByteArrayView bytes, QString &out, bool last)
{
    auto p = reinterpret_cast<const uint8_t *>(bytes.data());
    const uint8_t *end = p + bytes.size();
    const bool le = m_encoding == Encoding::Utf16LE;
    const qsizetype base = out.size();
    out.resize(base + (bytes.size() + m_pendingSize) / 2 + 1);
    char16_t *const start = reinterpret_cast<char16_t *>(out.data()) + base;
    char16_t *o = start;
    auto unit = [le](uint8_t a, uint8_t b) {
        return le ? char16_t(a | (b << 8)) : char16_t((a << 8) | b);
    };
    if (m_pendingSize > 0 && p < end) {
        *o++ = unit(m_pending[0], *p++);
        m_pendingSize = 0;
    }
    for (; end - p >= 2; p += 2)
        *o++ = unit(p[0], p[1]);
    if (p < end) {
        m_pending[0] = *p;
        m_pendingSize = 1;
    }
    if (last && m_pendingSize > 0) {
        *o++ = Replacement;
        m_pendingSize = 0;
    }
    out.resize(base + (o - start));
}

void encodeAppend(QStringView text, Encoding encoding, QByteArray &out)
{
    switch (encoding) {
    case Encoding::ShiftJis:
        cp932::encodeAppend(text, out);
        return;
    case Encoding::Cp949:
        cp949::encodeAppend(text, out);
        return;
    case Encoding::Utf8:
        encodeUtf8(text, out, true);
        return;
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
        const bool le = encoding == Encoding::Utf16LE;
        const qsizetype pos = out.size();
        out.resize(pos + text.size() * 2);
        auto *o = reinterpret_cast<uint8_t *>(out.data()) + pos;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            *o++ = uint8_t(le ? u & 0xFF : u >> 8);
            *o++ = uint8_t(le ? u >> 8 : u & 0xFF);
        }
        return;
    }
    }
}

void utf8PageAppend(QStringView text, QByteArray &out)
{
    encodeUtf8(text, out, false);
}

QByteArray byteOrderMark(Encoding encoding)
{
    switch (encoding) {
    case Encoding::ShiftJis:
    case Encoding::Cp949:
        break;
    case Encoding::Utf8:
        return QByteArray("\xEF\xBB\xBF");
    case Encoding::Utf16LE:
        return QByteArray("\xFF\xFE");
    case Encoding::Utf16BE:
        return QByteArray("\xFE\xFF");
    }
    return QByteArray();
}

QString encodingName(Encoding encoding)
{
    switch (encoding) {
    case Encoding::ShiftJis:
        break;
    case Encoding::Utf8:
        return QStringLiteral("UTF-8");
    case Encoding::Utf16LE:
        return QStringLiteral("UTF-16LE");
    case Encoding::Utf16BE:
        return QStringLiteral("UTF-16BE");
    case Encoding::Cp949:
        return QStringLiteral("CP949");
    }
    return QStringLiteral("Shift-JIS");
}

QString lineEndName(LineEnd lineEnd)
{
    switch (lineEnd) {
    case LineEnd::CrLf:
        break;
    case LineEnd::Lf:
        return QStringLiteral("LF");
    case LineEnd::Cr:
        return QStringLiteral("CR");
    }
    return QStringLiteral("CR LF");
}

} // namespace textcodec
