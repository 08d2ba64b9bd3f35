#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Code page 932 (Shift-JIS as Windows writes it), mapped through the C library's iconv.
//
// Bytes that are not valid code page 932 decode to lone low surrogates U+DC80 + (byte - 0x80)
// and encode back to the very same byte, so a damaged log survives a round trip unchanged.
namespace cp932 {

// Called for a character that code page 932 cannot represent; appends its replacement.
// A character outside the Basic Multilingual Plane arrives as one code point.
using Replacement = std::function<void(char32_t codePoint, QByteArray &out)>;

QString decode(QByteArrayView bytes);

// Unrepresentable characters become "?".
QByteArray encode(QStringView text);
QByteArray encode(QStringView text, const Replacement &replace);
// Appending forms, for writers that build their output piece by piece.
void encodeAppend(QStringView text, QByteArray &out);
void encodeAppend(QStringView text, QByteArray &out, const Replacement &replace);

// Replacement that writes "&#N;" with N the decimal code point (HTML pages).
void numericReference(char32_t codePoint, QByteArray &out);

// Incremental decoder for reading a file in pieces: a lead byte at the end of one piece is
// kept until the next piece arrives.
class Decoder
{
public:
    // Decodes `bytes`, appending to `out`. With `last` set, a pending lead byte is flushed as
    // an invalid byte.
    void decode(QByteArrayView bytes, QString &out, bool last = false);
    void reset() { m_pending = -1; }

private:
    int m_pending = -1;
};

// Number of bytes `text` occupies in code page 932 (unrepresentable characters count as "?").
qsizetype encodedLength(QStringView text);

} // namespace cp932
