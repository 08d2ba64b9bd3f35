#include "cp932.h"

#include "doublebyte.h"
#include "samebytes.h"

#include <array>
#include <iconv.h>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace cp932 {
namespace {

constexpr char16_t invalidBase = doublebyte::InvalidBase;

// Lookup tables filled once from iconv: decoding a 40 MB log through iconv call by call would
// be slow, and every table entry is exactly what iconv answers for that byte sequence.
struct Tables : doublebyte::Table
{
    std::unique_ptr<bool[]> mappable;
    // Characters that several byte pairs decode to (the NEC and IBM extension rows), with every
    // such pair: the encoder needs another one when the preferred pair would merge with a
    // preceding stray lead byte.
    std::unordered_map<char16_t, std::vector<uint16_t>> alternatives;
    // The bytes that decode to a character the encoder writes as those very bytes again: a
    // single byte by itself (SameSingle; a lead byte is Lead, any other byte Changed), a pair
    // by [lead * 256 + trail].
    enum ByteKind : uint8_t { Changed, SameSingle, Lead };
    std::array<ByteKind, 256> byteKind {};
    std::unique_ptr<bool[]> samePair;
    // How many single bytes and pairs decode to each code unit (2 standing for more).
    std::unique_ptr<uint8_t[]> forms;

    Tables();

private:
    void learnSameBytes();
};

Tables::Tables()
    : mappable(new bool[65536]())
    , samePair(new bool[65536]())
    , forms(new uint8_t[65536]())
{
    iconv_t dec = iconv_open("UTF-16LE", "CP932");
    iconv_t enc = iconv_open("CP932", "UTF-16LE");
    if (dec == iconv_t(-1) || enc == iconv_t(-1)) {
        // Without iconv's table only ASCII is known; everything else stays reversible.
        for (int b = 0; b < 0x80; ++b) {
            single[b] = char16_t(b);
            toBytes[b] = uint16_t(b);
            mappable[b] = true;
        }
        return;
    }

    const auto decodeBytes = [dec](const char *in, size_t length, char16_t &out) {
        return doublebyte::decodeBytes(dec, in, length, out);
    };

    auto encodeUnit = [enc](char16_t c, uint16_t &out) -> bool {
        iconv(enc, nullptr, nullptr, nullptr, nullptr);
        char in[2] = {char(c & 0xFF), char(c >> 8)};
        char buf[8];
        char *inp = in;
        char *outp = buf;
        size_t inLeft = 2, outLeft = sizeof buf;
        if (iconv(enc, &inp, &inLeft, &outp, &outLeft) == size_t(-1))
            return false;
        size_t n = sizeof buf - outLeft;
        if (n == 1)
            out = uint8_t(buf[0]);
        else if (n == 2)
            out = uint16_t((uint8_t(buf[0]) << 8) | uint8_t(buf[1]));
        else
            return false;
        return true;
    };

    auto learn = [&](char16_t c) {
        if (mappable[c])
            return;
        uint16_t bytes;
        if (encodeUnit(c, bytes)) {
            toBytes[c] = bytes;
            mappable[c] = true;
        }
    };

    for (int b = 0; b < 256; ++b) {
        char in = char(b);
        char16_t c;
        int r = decodeBytes(&in, 1, c);
        if (r == 1 && !(c >= 0xD800 && c < 0xE000)) {
            single[b] = c;
            learn(c);
        } else if (r == -1) {
            lead[b] = true;
        }
    }
    // U+0000 decodes from 0x00 but the table uses 0 for "nothing": keep it explicit.
    single[0] = 0;
    toBytes[0] = 0;
    mappable[0] = true;

    for (int l = 0; l < 256; ++l) {
        if (!lead[l])
            continue;
        for (int t = 0; t < 256; ++t) {
            char in[2] = {char(l), char(t)};
            char16_t c;
            if (decodeBytes(in, 2, c) == 1 && c != 0 && !(c >= 0xD800 && c < 0xE000)) {
                pair[l * 256 + t] = c;
                learn(c);
                alternatives[c].push_back(uint16_t(l << 8 | t));
            }
        }
    }
    // JIS names these characters otherwise than code page 932 does (input methods write
    // U+301C for 0x8160, which decodes to U+FF5E): each is written as the pair of its other
    // name, and decoding keeps the names above.
    constexpr std::pair<char16_t, char16_t> JisNames[]
        = {{u'\u301C', u'\uFF5E'}, {u'\u2016', u'\u2225'}, {u'\u2212', u'\uFF0D'},
           {u'\u00A2', u'\uFFE0'}, {u'\u00A3', u'\uFFE1'}, {u'\u00AC', u'\uFFE2'},
           {u'\u2014', u'\u2015'}};
    for (const auto &[jis, windows] : JisNames) {
        if (!mappable[jis] && mappable[windows]) {
            toBytes[jis] = toBytes[windows];
            mappable[jis] = true;
        }
    }
    for (auto it = alternatives.begin(); it != alternatives.end();) {
        if (it->second.size() < 2)
            it = alternatives.erase(it);
        else
            ++it;
    }
    iconv_close(dec);
    iconv_close(enc);
    learnSameBytes();
}

void Tables::learnSameBytes()
{
    // As encodeInto() writes a character: below 0x80 as itself, else by toBytes.
    const auto written = [this](char16_t c) {
        return c < 0x80 ? uint16_t(c) : toBytes[c];
    };
    const auto seen = [this](char16_t c) {
        forms[c] = uint8_t(qMin(forms[c] + 1, 2));
    };
    for (int b = 0; b < 256; ++b) {
        const char16_t c = single[b];
        const bool decodes = b < 0x80 || (!lead[b] && c != 0);
        byteKind[b] = decodes && written(c) == b ? SameSingle
            : b >= 0x80 && lead[b]               ? Lead
                                                 : Changed;
        if (decodes)
            seen(c);
    }
    for (int l = 0x80; l < 256; ++l) {
        if (!lead[l])
            continue;
        for (int t = 0; t < 256; ++t) {
            const char16_t c = pair[l * 256 + t];
            samePair[l * 256 + t] = c != 0 && written(c) == (l << 8 | t);
            if (c != 0)
                seen(c);
        }
    }
}

const Tables &tables()
{
    static const Tables t;
    return t;
}

// Writes through a raw pointer into room reserved up front (every code unit gives at most two
// bytes); appending byte by byte costs more than the table lookups themselves.
template<typename OnUnmappable>
inline void encodeInto(QStringView text, QByteArray &out, OnUnmappable &&onUnmappable)
{
    const Tables &t = tables();
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    qsizetype pos = out.size();
    out.resize(pos + text.size() * 2);
    char *o = out.data() + pos;
    int strayLead = -1; // a stray lead byte just written for an invalid byte
    while (p < end) {
        char16_t c = *p++;
        if (c < 0x80) {
            *o++ = char(c);
            strayLead = -1;
            continue;
        }
        if (c >= invalidBase + 0x80 && c <= invalidBase + 0xFF) {
            const int b = c - invalidBase;
            *o++ = char(b);
            strayLead = t.lead[b] ? b : -1;
            continue;
        }
        uint16_t b = t.toBytes[c]; // 0: not in code page 932 (U+0000 is handled above)
        if (b != 0) {
            const auto first = [](uint16_t bytes) {
                return bytes > 0xFF ? bytes >> 8 : bytes;
            };
            if (strayLead >= 0 && t.pair[strayLead * 256 + first(b)]) {
                // The preferred bytes would pair up with the stray lead byte before them; the
                // bytes this character was read from did not, so one of its pairs fits.
                auto alt = t.alternatives.find(c);
                if (alt != t.alternatives.end()) {
                    for (uint16_t candidate : alt->second) {
                        if (!t.pair[strayLead * 256 + first(candidate)]) {
                            b = candidate;
                            break;
                        }
                    }
                }
            }
            if (b > 0xFF)
                *o++ = char(b >> 8);
            *o++ = char(b & 0xFF);
            strayLead = -1;
            continue;
        }
        char32_t cp = c;
        if (c >= 0xD800 && c < 0xDC00 && p < end && *p >= 0xDC00 && *p < 0xE000) {
            cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(*p) - 0xDC00);
            ++p;
        }
        out.resize(o - out.data());
        onUnmappable(cp, out);
        strayLead = -1;
        pos = out.size();
        out.resize(pos + (end - p) * 2);
        o = out.data() + pos;
    }
    out.resize(o - out.data());
}

} // namespace

QString decode(QByteArrayView bytes)
{
    QString out;
    int pending = -1;
    auto p = reinterpret_cast<const uint8_t *>(bytes.data());
    doublebyte::decode(tables(), p, p + bytes.size(), out, pending, true);
    return out;
}

void Decoder::decode(QByteArrayView bytes, QString &out, bool last)
{
    auto p = reinterpret_cast<const uint8_t *>(bytes.data());
    doublebyte::decode(tables(), p, p + bytes.size(), out, m_pending, last);
}

void encodeAppend(QStringView text, QByteArray &out)
{
    encodeInto(text, out, [](char32_t, QByteArray &o) { o.append('?'); });
}

void encodeAppend(QStringView text, QByteArray &out, const Replacement &replace)
{
    encodeInto(text, out, [&](char32_t cp, QByteArray &o) { replace(cp, o); });
}

QByteArray encode(QStringView text)
{
    QByteArray out;
    encodeAppend(text, out);
    return out;
}

QByteArray encode(QStringView text, const Replacement &replace)
{
    QByteArray out;
    encodeAppend(text, out, replace);
    return out;
}

void numericReference(char32_t codePoint, QByteArray &out)
{
    out.append("&#");
    out.append(QByteArray::number(quint32(codePoint)));
    out.append(';');
}

} // namespace cp932

bool textcodec::cp932RoundTrips(QByteArrayView bytes)
{
    using namespace cp932;
    const Tables &t = tables();
    auto p = reinterpret_cast<const uint8_t *>(bytes.data());
    const uint8_t *end = p + bytes.size();
    // The same steps as doublebyte::decode(): below 0x80 a byte is always a character of its own.
    while (p < end) {
        const Tables::ByteKind kind = t.byteKind[*p];
        if (kind == Tables::SameSingle) {
            ++p;
            continue;
        }
        if (kind == Tables::Changed || end - p < 2 || !t.samePair[*p * 256 + p[1]])
            return false;
        p += 2;
    }
    return true;
}

bool textcodec::startsCharacter(QByteArrayView bytes, qsizetype at, Encoding encoding)
{
    if (encoding == Encoding::Utf8)
        return at >= bytes.size() || (uint8_t(bytes[at]) & 0xC0) != 0x80;
    const cp932::Tables &t = cp932::tables();
    qsizetype i = 0;
    while (i < at)
        i += t.byteKind[uint8_t(bytes[i])] == cp932::Tables::Lead ? 2 : 1;
    return i == at;
}

QByteArray textcodec::onlyForm(QStringView text, Encoding encoding)
{
    for (const QChar c : text) {
        if (c.isSurrogate())
            return QByteArray();
    }
    if (encoding == Encoding::Utf8)
        return text.toUtf8();
    if (encoding != Encoding::ShiftJis)
        return QByteArray();
    const cp932::Tables &t = cp932::tables();
    for (const QChar c : text) {
        if (t.forms[c.unicode()] != 1)
            return QByteArray();
    }
    // The one form of each character, as long as the encoder writes that very form.
    const QByteArray bytes = cp932::encode(text);
    return cp932RoundTrips(bytes) && cp932::decode(bytes) == text ? bytes : QByteArray();
}

namespace cp932 {

qsizetype encodedLength(QStringView text)
{
    const Tables &t = tables();
    qsizetype n = 0;
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    while (p < end) {
        char16_t c = *p++;
        if (c < 0x80 || (c >= invalidBase + 0x80 && c <= invalidBase + 0xFF)) {
            ++n;
        } else if (c >= 0xD800 && c < 0xDC00 && p < end && *p >= 0xDC00 && *p < 0xE000) {
            ++p;
            ++n;
        } else if (t.mappable[c]) {
            n += t.toBytes[c] > 0xFF ? 2 : 1;
        } else {
            ++n;
        }
    }
    return n;
}

} // namespace cp932
