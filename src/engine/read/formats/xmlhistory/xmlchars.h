#pragma once

#include <QByteArrayView>
#include <QtGlobal>
#include <array>
#include <cstring>

// The characters of a history's UTF-8 bytes as the byte reader (xmlbytes.h) sees them: which
// bytes stand for themselves, which begin a name, and the sequences and references that stand
// for a character, checked against the characters XML allows.
namespace xmlchars {

// Longer references are left to the parser.
inline constexpr qsizetype MaxReference = 32;

// What a byte is to character data: most stand for themselves.
enum Kind : uchar { Plain, Special, Multi, Bad };

inline constexpr auto TextKinds = [] {
    std::array<uchar, 256> kinds {};
    for (int c = 0; c < 256; ++c)
        kinds[c] = c >= 0x80 ? Multi : c < 0x20 ? Bad : Plain;
    kinds['\t'] = Plain;
    kinds['\n'] = Special;
    kinds['\r'] = Special;
    kinds['&'] = Special;
    kinds['<'] = Special;
    kinds['>'] = Special;
    kinds['"'] = Special;
    kinds['\''] = Special;
    return kinds;
}();

inline constexpr auto NameChars = [] {
    std::array<bool, 256> chars {};
    for (int c = 0; c < 256; ++c)
        chars[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || c == '_' || c == '.' || c == '-';
    return chars;
}();

// The same within attribute values, where a tab is read as a blank.
inline constexpr auto ValueKinds = [] {
    std::array<uchar, 256> kinds = TextKinds;
    kinds['\t'] = Special;
    return kinds;
}();

inline bool isNameStart(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

inline bool isNameChar(int c)
{
    return c >= 0 && NameChars[c];
}

inline bool isSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

inline bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF)
        || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

inline void put(char16_t *&o, char32_t c)
{
    if (c < 0x10000) {
        *o++ = char16_t(c);
    } else {
        *o++ = char16_t(0xD7C0 + (c >> 10));
        *o++ = char16_t(0xDC00 | (c & 0x3FF));
    }
}

// The UTF-8 sequence at `p` (a byte from 0x80 on) written to `o`: the bytes it takes, 0 when it
// goes on past `end`, -1 when it is no UTF-8 or no character XML allows.
inline int utf8(const uchar *p, const uchar *end, char16_t *&o)
{
    const uchar b = *p;
    const qsizetype left = end - p;
    const auto cont = [](uchar c) {
        return (c & 0xC0) == 0x80;
    };
    if (b >= 0xC2 && b <= 0xDF) {
        if (left < 2)
            return 0;
        if (!cont(p[1]))
            return -1;
        *o++ = char16_t(((b & 0x1F) << 6) | (p[1] & 0x3F));
        return 2;
    }
    if (b >= 0xE0 && b <= 0xEF) {
        if (left < 3)
            return 0;
        const uchar lo = b == 0xE0 ? 0xA0 : 0x80, hi = b == 0xED ? 0x9F : 0xBF;
        if (p[1] < lo || p[1] > hi || !cont(p[2]))
            return -1;
        const char16_t c = char16_t(((b & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
        if (c >= 0xFFFE)
            return -1;
        *o++ = c;
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (left < 4)
            return 0;
        const uchar lo = b == 0xF0 ? 0x90 : 0x80, hi = b == 0xF4 ? 0x8F : 0xBF;
        if (p[1] < lo || p[1] > hi || !cont(p[2]) || !cont(p[3]))
            return -1;
        put(o,
            (char32_t(b & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6)
                | (p[3] & 0x3F));
        return 4;
    }
    return -1;
}

// The reference at `p` ("&"): the bytes it takes, 0 when it goes on past `end`, -1 when it is
// none the reader takes.
inline int reference(const uchar *p, const uchar *end, char16_t *&o)
{
    const uchar *stop = end - p > MaxReference ? p + MaxReference : end;
    const uchar *semicolon = static_cast<const uchar *>(std::memchr(p, ';', stop - p));
    if (!semicolon)
        return stop == end && end - p <= MaxReference ? 0 : -1;
    const QByteArrayView name(p + 1, semicolon - p - 1);
    const int taken = int(semicolon - p + 1);
    if (name == "lt")
        *o++ = u'<';
    else if (name == "gt")
        *o++ = u'>';
    else if (name == "amp")
        *o++ = u'&';
    else if (name == "quot")
        *o++ = u'"';
    else if (name == "apos")
        *o++ = u'\'';
    else if (name.size() < 2 || name[0] != '#')
        return -1;
    else {
        const bool hex = name[1] == 'x';
        const QByteArrayView digits = name.sliced(hex ? 2 : 1);
        if (digits.isEmpty())
            return -1;
        char32_t c = 0;
        for (const char d : digits) {
            int v = -1;
            if (d >= '0' && d <= '9')
                v = d - '0';
            else if (hex && d >= 'a' && d <= 'f')
                v = d - 'a' + 10;
            else if (hex && d >= 'A' && d <= 'F')
                v = d - 'A' + 10;
            if (v < 0)
                return -1;
            c = c * (hex ? 16 : 10) + char32_t(v);
            if (c > 0x10FFFF)
                return -1;
        }
        if (!isXmlChar(c))
            return -1;
        put(o, c);
    }
    return taken;
}

} // namespace xmlchars
