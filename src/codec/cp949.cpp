#include "cp949.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <memory>

namespace cp949 {
namespace {

constexpr char16_t InvalidBase = 0xDC00; // invalid byte b decodes to U+DC00 + b (b >= 0x80)

// Lookup tables filled once from iconv, as for code page 932: every entry is what iconv answers
// for that byte or pair. Only a Korean export is ever decoded so, so they are made on first use.
struct Tables
{
    std::array<char16_t, 256> single {}; // 0 = lead byte or invalid
    std::array<bool, 256> lead {};
    std::unique_ptr<char16_t[]> pair; // [lead * 256 + trail], 0 = invalid
    std::unique_ptr<uint16_t[]> toBytes; // [code unit] -> bytes (lead, trail) or a single byte

    Tables();
};

Tables::Tables()
    : pair(new char16_t[65536]())
    , toBytes(new uint16_t[65536]())
{
    for (int b = 0; b < 0x80; ++b) {
        single[size_t(b)] = char16_t(b);
        toBytes[size_t(b)] = uint16_t(b);
    }
    iconv_t dec = iconv_open("UTF-16LE", "CP949");
    if (dec == iconv_t(-1))
        return; // only ASCII is known; everything else stays reversible
    // 1: decoded to `out`; -1: incomplete (a lead byte); 0: invalid.
    auto decodeBytes = [dec](const char *in, size_t len, char16_t &out) -> int {
        iconv(dec, nullptr, nullptr, nullptr, nullptr);
        char buf[8];
        char *inp = const_cast<char *>(in);
        char *outp = buf;
        size_t inLeft = len, outLeft = sizeof buf;
        if (iconv(dec, &inp, &inLeft, &outp, &outLeft) == size_t(-1))
            return errno == EINVAL ? -1 : 0;
        if (inLeft != 0 || sizeof buf - outLeft != 2)
            return 0;
        out = char16_t(uint8_t(buf[0]) | (uint8_t(buf[1]) << 8));
        return out >= 0xD800 && out < 0xE000 ? 0 : 1;
    };
    for (int b = 0x80; b < 256; ++b) {
        const char in = char(b);
        char16_t c;
        const int r = decodeBytes(&in, 1, c);
        if (r == 1) {
            single[size_t(b)] = c;
            toBytes[c] = uint16_t(b);
        }
        lead[size_t(b)] = r == -1;
    }
    for (int l = 0x80; l < 256; ++l) {
        if (!lead[size_t(l)])
            continue;
        for (int t = 0x20; t < 256; ++t) {
            const char in[2] = {char(l), char(t)};
            char16_t c;
            if (decodeBytes(in, 2, c) == 1 && c >= 0x80) {
                pair[size_t(l * 256 + t)] = c;
                if (!toBytes[c])
                    toBytes[c] = uint16_t(l << 8 | t);
            }
        }
    }
    iconv_close(dec);
}

const Tables &tables()
{
    static const Tables t;
    return t;
}

} // namespace

void Decoder::decode(QByteArrayView bytes, QString &out, bool last)
{
    const Tables &t = tables();
    auto p = reinterpret_cast<const uint8_t *>(bytes.data());
    const uint8_t *end = p + bytes.size();
    const qsizetype base = out.size();
    out.resize(base + bytes.size() + 1);
    char16_t *const start = reinterpret_cast<char16_t *>(out.data()) + base;
    char16_t *o = start;
    if (m_pending >= 0 && p < end) {
        // The lead byte the last piece ended with, paired with this piece's first byte.
        const char16_t c = t.pair[size_t(m_pending * 256 + *p)];
        *o++ = c ? c : char16_t(InvalidBase + m_pending);
        p += c ? 1 : 0;
        m_pending = -1;
    }
    while (p < end) {
        const uint8_t b = *p;
        if (b < 0x80) {
            *o++ = b;
            ++p;
        } else if (t.lead[b] && p + 1 == end) {
            m_pending = b;
            ++p;
        } else if (t.lead[b]) {
            const char16_t c = t.pair[size_t(b * 256 + p[1])];
            *o++ = c ? c : char16_t(InvalidBase + b);
            p += c ? 2 : 1;
        } else {
            *o++ = t.single[b] ? t.single[b] : char16_t(InvalidBase + b);
            ++p;
        }
    }
    if (last && m_pending >= 0) {
        *o++ = char16_t(InvalidBase + m_pending);
        m_pending = -1;
    }
    out.resize(base + (o - start));
}

void encodeAppend(QStringView text, QByteArray &out)
{
    const Tables &t = tables();
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c >= InvalidBase + 0x80 && c <= InvalidBase + 0xFF) {
            out.append(char(c - InvalidBase));
        } else if (const uint16_t b = t.toBytes[c]; b > 0xFF) {
            out.append(char(b >> 8));
            out.append(char(b & 0xFF));
        } else if (b || c == 0) {
            out.append(char(b));
        } else {
            out.append('?'); // a pair of surrogates gives one "?" each
        }
    }
}

} // namespace cp949
