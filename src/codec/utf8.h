#pragma once

#include <array>
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

// Validation as a state machine without branches, one table lookup a byte. A state is a row
// of the table (its number times 256): 0 accepts (between characters), Reject is final, the
// others wait for continuation bytes of a given range. It accepts exactly what sequence() does.
inline constexpr uint32_t Reject = 256;

constexpr std::array<uint16_t, 9 * 256> makeValidator()
{
    // For the waiting states 2 … 8: the range of the next byte and the state it leads to.
    struct Wait
    {
        int lo, hi, next;
    };
    constexpr Wait waits[9]
        = {{0, -1, 1},      {0, -1, 1},      {0x80, 0xBF, 0}, {0x80, 0xBF, 2}, {0xA0, 0xBF, 2},
           {0x80, 0x9F, 2}, {0x90, 0xBF, 3}, {0x80, 0xBF, 3}, {0x80, 0x8F, 3}};
    std::array<uint16_t, 9 * 256> table {};
    for (int state = 0; state < 9; ++state) {
        for (int b = 0; b < 256; ++b) {
            int next = 1;
            if (state == 0) {
                next = b < 0x80 ? 0
                    : b < 0xC2  ? 1
                    : b < 0xE0  ? 2
                    : b == 0xE0 ? 4
                    : b == 0xED ? 5
                    : b < 0xF0  ? 3
                    : b == 0xF0 ? 6
                    : b < 0xF4  ? 7
                    : b == 0xF4 ? 8
                                : 1;
            } else if (b >= waits[state].lo && b <= waits[state].hi) {
                next = waits[state].next;
            }
            table[size_t(state * 256 + b)] = uint16_t(next * 256);
        }
    }
    return table;
}

inline constexpr std::array<uint16_t, 9 * 256> Validator = makeValidator();

} // namespace textcodec::utf8
