#pragma once

#include <QByteArray>
#include <QString>

// Code page 949 (EUC-KR with Microsoft's extension, as Korean Windows writes it), mapped through
// the C library's iconv, as code page 932 is (cp932.h): bytes that do not decode become lone low
// surrogates U+DC80 + (byte - 0x80) and encode back to the very same byte.
namespace cp949 {

// Incremental decoder for reading a file in pieces: a lead byte at the end of one piece is kept
// until the next piece arrives.
class Decoder
{
public:
    // Decodes `bytes`, appending to `out`. With `last` set, a pending lead byte is flushed as an
    // invalid byte.
    void decode(QByteArrayView bytes, QString &out, bool last = false);
    void reset() { m_pending = -1; }

private:
    int m_pending = -1;
};

// Appends `text` in code page 949; characters it lacks become "?".
void encodeAppend(QStringView text, QByteArray &out);

} // namespace cp949
