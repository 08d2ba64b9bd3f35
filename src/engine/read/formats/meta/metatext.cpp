#include "engine/read/formats/meta/metatext.h"

#include "engine/read/shared/jsonpull.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace meta {

#ifdef __SSE2__
namespace {

// Copies the bytes from `p` to `q` sixteen at a time, up to the first byte whose high bit
// `special` sets in its block, while sixteen are left to look at.
template<typename Special>
void copyUntil(const char *&p, char *&q, const char *end, Special special)
{
    while (end - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const int marked = _mm_movemask_epi8(special(block));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(q), block);
        const int plain = marked == 0 ? 16 : std::countr_zero(unsigned(marked));
        p += plain;
        q += plain;
        if (marked != 0)
            return;
    }
}

} // namespace
#endif

QString repaired(QByteArrayView utf8)
{
    qsizetype i = 0;
    while (i < utf8.size() && uchar(utf8[i]) < 0x80)
        ++i;
    if (i == utf8.size()) // no character above U+007F
        return QString::fromUtf8(utf8);
    QByteArray bytes(utf8.size(), Qt::Uninitialized); // the characters as bytes
    char *out = std::copy_n(utf8.data(), i, bytes.data());
    for (; i < utf8.size(); ++i) {
        const uchar c = uchar(utf8[i]);
        if (c < 0x80) {
            *out++ = char(c);
            continue;
        }
        // U+0080 to U+00FF are C2 or C3 and one more byte; anything else is typed as it is.
        const uchar next = i + 1 < utf8.size() ? uchar(utf8[i + 1]) : 0;
        if ((c != 0xC2 && c != 0xC3) || (next & 0xC0) != 0x80)
            return QString::fromUtf8(utf8);
        *out++ = char(((c & 0x03) << 6) | (next & 0x3F));
        ++i;
    }
    bytes.truncate(out - bytes.data());
    const QString decoded = QString::fromUtf8(bytes);
    return decoded.contains(QChar::ReplacementCharacter) ? QString::fromUtf8(utf8) : decoded;
}

bool unescapedBytes(std::string_view text, std::string &out, size_t &used)
{
    static constexpr auto Hex = [] {
        std::array<signed char, 256> digits {};
        digits.fill(-1);
        for (int i = 0; i < 10; ++i)
            digits['0' + i] = char(i);
        for (int i = 0; i < 6; ++i)
            digits['a' + i] = digits['A' + i] = char(10 + i);
        return digits;
    }();
    // No longer than the text; then a NUL, and room for RapidJSON's SSE2 scan, which reads whole
    // blocks of 16 bytes, up to 15 past the end.
    if (out.size() < text.size() + 16)
        out.resize(text.size() + 16);
    char *q = out.data();
    const char *p = text.data();
    const char *const end = p + text.size();
    int depth = 0;
    bool inString = false;
    while (p < end) {
        if (inString) {
            // A Japanese text is a run of "\\u00XX" escapes, each a byte of its UTF-8.
            static constexpr char Lead[4] = {'\\', 'u', '0', '0'};
            while (end - p >= 6 && std::memcmp(p, Lead, 4) == 0) {
                const int high = Hex[uchar(p[4])], low = Hex[uchar(p[5])];
                if ((high | low) < 0)
                    return false;
                if (high < 8) // a character below U+0080, written as an escape still
                    break;
                *q++ = char(high << 4 | low);
                p += 6;
            }
        }
#ifdef __SSE2__
        const __m128i quote = _mm_set1_epi8('"');
        if (inString) {
            // Most of a message is its strings' plain text: copied up to the next quote,
            // backslash or byte past ASCII (its high bit).
            const __m128i backslash = _mm_set1_epi8('\\');
            copyUntil(p, q, end, [&](__m128i block) {
                return _mm_or_si128(
                    _mm_or_si128(_mm_cmpeq_epi8(block, quote), _mm_cmpeq_epi8(block, backslash)),
                    block);
            });
        } else {
            // Between the strings: blanks, names' colons, numbers and commas, copied up to the
            // next quote, bracket or byte past ASCII. A bracket is one of "{[" or "}]" with
            // 0x20 set.
            const __m128i opens = _mm_set1_epi8('{'), closes = _mm_set1_epi8('}'),
                          lower = _mm_set1_epi8(0x20);
            copyUntil(p, q, end, [&](__m128i block) {
                const __m128i folded = _mm_or_si128(block, lower);
                return _mm_or_si128(
                    _mm_or_si128(_mm_cmpeq_epi8(block, quote), block),
                    _mm_or_si128(_mm_cmpeq_epi8(folded, opens), _mm_cmpeq_epi8(folded, closes)));
            });
        }
        if (p == end)
            break;
#endif
        const char c = *p;
        if (uchar(c) >= 0x80)
            return false;
        if (inString && c == '\\') {
            if (end - p >= 6 && p[1] == 'u' && p[2] == '0' && p[3] == '0') {
                const int high = Hex[uchar(p[4])], low = Hex[uchar(p[5])];
                if ((high | low) < 0)
                    return false;
                if (high >= 8) { // a byte of the text as typed
                    *q++ = char(high << 4 | low);
                } else {
                    std::memcpy(q, p, 6);
                    q += 6;
                }
                p += 6;
                continue;
            }
            if (end - p < 2 || p[1] == 'u') // a character past U+00FF, or the piece's end
                return false;
            q[0] = c;
            q[1] = p[1];
            q += 2;
            p += 2;
            continue;
        }
        *q++ = c;
        ++p;
        if (c == '"') {
            inString = !inString;
        } else if (inString) {
            continue;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if ((c == '}' || c == ']') && --depth == 0) {
            std::memset(q, 0, 16);
            used = size_t(p - text.data());
            return true;
        }
    }
    return false;
}

QString str(const rapidjson::Value &object, std::string_view name, bool bytes)
{
    const rapidjson::Value *v = json::member(object, name);
    if (!v || !v->IsString())
        return QString();
    const QByteArrayView text(v->GetString(), v->GetStringLength());
    if (!bytes)
        return repaired(text);
    // What repaired() gives for characters below U+0100, from their bytes.
    const QString typed = QString::fromUtf8(text);
    return typed.contains(QChar::ReplacementCharacter) ? QString::fromLatin1(text) : typed;
}

} // namespace meta
