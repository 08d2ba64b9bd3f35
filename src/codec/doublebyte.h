#pragma once

#include <QString>
#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <memory>

// What code pages of one and two bytes (932, 949) share: their lookup tables, filled from the
// C library's iconv byte sequence by byte sequence, and the decoding loop over them. A byte that
// decodes to nothing becomes the lone low surrogate U+DC00 + byte, and encodes back to itself.
namespace doublebyte {

constexpr char16_t InvalidBase = 0xDC00;

struct Table
{
    std::array<char16_t, 256> single {}; // 0 = a lead byte or invalid (U+0000 apart)
    std::array<bool, 256> lead {};
    std::unique_ptr<char16_t[]> pair {new char16_t[65536]()}; // [lead * 256 + trail], 0 = invalid
    std::unique_ptr<uint16_t[]> toBytes {new uint16_t[65536]()}; // code unit -> bytes (hi, lo)
};

// What iconv makes of one byte sequence: 1, one code unit in `out`; -1, the sequence is
// incomplete (a lead byte); 0, it is invalid or gives more than one unit.
int decodeBytes(iconv_t decoder, const char *in, size_t length, char16_t &out);

// Decodes `bytes` through `t`, appending to `out`. A lead byte at the end waits in `pending`
// (-1 for none) for the next piece; with `last`, it is flushed as an invalid byte.
inline void decode(const Table &t, const uint8_t *p, const uint8_t *end, QString &out, int &pending,
                   bool last)
{
    const qsizetype base = out.size();
    out.resize(base + (end - p) + 1);
    char16_t *o = reinterpret_cast<char16_t *>(out.data()) + base;
    char16_t *const start = o;
    if (pending >= 0 && p < end) {
        const char16_t c = t.pair[size_t(pending * 256 + *p)];
        *o++ = c ? c : char16_t(InvalidBase + pending);
        p += c ? 1 : 0;
        pending = -1;
    }
    while (p < end) {
        const uint8_t b = *p;
        if (b < 0x80) {
            *o++ = t.single[b];
            ++p;
        } else if (t.lead[b] && p + 1 == end) {
            pending = b;
            ++p;
        } else if (t.lead[b]) {
            const char16_t c = t.pair[size_t(b * 256 + p[1])];
            *o++ = c ? c : char16_t(InvalidBase + b);
            p += c ? 2 : 1;
        } else {
            const char16_t c = t.single[b];
            *o++ = c ? c : char16_t(InvalidBase + b);
            ++p;
        }
    }
    if (last && pending >= 0) {
        *o++ = char16_t(InvalidBase + pending);
        pending = -1;
    }
    out.resize(base + (o - start));
}

} // namespace doublebyte
