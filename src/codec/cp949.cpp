#include "cp949.h"

#include "doublebyte.h"

namespace cp949 {
namespace {

using doublebyte::InvalidBase;

// Filled once from iconv, as for code page 932; only a Korean export is ever decoded so, so the
// table is made on first use.
doublebyte::Table makeTable()
{
    doublebyte::Table t;
    for (int b = 0; b < 0x80; ++b) {
        t.single[size_t(b)] = char16_t(b);
        t.toBytes[size_t(b)] = uint16_t(b);
    }
    iconv_t dec = iconv_open("UTF-16LE", "CP949");
    if (dec == iconv_t(-1))
        return t; // only ASCII is known; everything else stays reversible
    const auto decodeBytes = [dec](const char *in, size_t length, char16_t &out) {
        const int r = doublebyte::decodeBytes(dec, in, length, out);
        return r == 1 && out >= 0xD800 && out < 0xE000 ? 0 : r;
    };
    for (int b = 0x80; b < 256; ++b) {
        const char in = char(b);
        char16_t c;
        const int r = decodeBytes(&in, 1, c);
        if (r == 1) {
            t.single[size_t(b)] = c;
            t.toBytes[c] = uint16_t(b);
        }
        t.lead[size_t(b)] = r == -1;
    }
    for (int l = 0x80; l < 256; ++l) {
        if (!t.lead[size_t(l)])
            continue;
        for (int trail = 0x20; trail < 256; ++trail) {
            const char in[2] = {char(l), char(trail)};
            char16_t c;
            if (decodeBytes(in, 2, c) == 1 && c >= 0x80) {
                t.pair[size_t(l * 256 + trail)] = c;
                if (!t.toBytes[c])
                    t.toBytes[c] = uint16_t(l << 8 | trail);
            }
        }
    }
    iconv_close(dec);
    return t;
}

const doublebyte::Table &tables()
{
    static const doublebyte::Table t = makeTable();
    return t;
}

} // namespace

void Decoder::decode(QByteArrayView bytes, QString &out, bool last)
{
    const auto p = reinterpret_cast<const uint8_t *>(bytes.data());
    doublebyte::decode(tables(), p, p + bytes.size(), out, m_pending, last);
}

void encodeAppend(QStringView text, QByteArray &out)
{
    const doublebyte::Table &t = tables();
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
