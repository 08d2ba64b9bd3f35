#pragma once

#include <cstdint>
#include <cstring>

// UTF-8 sequences as the decoder and the detector both take them apart.
namespace textcodec::utf8 {

// The sequence at p: its length (> 0) with the code point in cp, 0 when the byte at p starts
// no valid sequence, -1 when the sequence is valid so far but cut off at `end`. Overlong
// forms, surrogates and code points past U+10FFFF are invalid.
inline int sequence(const uint8_t *p, const uint8_t *end, char32_t &cp)
{
    const uint8_t b = *p;
    int n;
    char32_t c;
    uint8_t lo = 0x80, hi = 0xBF;
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    if (b < 0xC2)
        return 0;
    if (b < 0xE0) {
        n = 2;
        c = b & 0x1F;
    } else if (b < 0xF0) {
        n = 3;
        c = b & 0x0F;
        if (b == 0xE0)
            lo = 0xA0;
        else if (b == 0xED)
            hi = 0x9F;
    } else if (b < 0xF5) {
        n = 4;
        c = b & 0x07;
        if (b == 0xF0)
            lo = 0x90;
        else if (b == 0xF4)
            hi = 0x8F;
    } else {
        return 0;
    }
    for (int i = 1; i < n; ++i) {
        if (p + i >= end)
            return -1;
        const uint8_t t = p[i];
        if (t < lo || t > hi)
            return 0;
        lo = 0x80;
        hi = 0xBF;
        c = (c << 6) | (t & 0x3F);
    }
    cp = c;
    return n;
}

// Whether the eight bytes at p are all ASCII.
inline bool ascii8(const uint8_t *p)
{
    uint64_t word;
    std::memcpy(&word, p, 8);
    return (word & 0x8080808080808080ULL) == 0;
}

} // namespace textcodec::utf8
