// Code page 932 round trip: decoding never loses a byte, encoding never fails, and
// decode(encode(decode(b))) == decode(b).
#include "codec/cp932.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = cp932::decode(bytes);
    const QByteArray encoded = cp932::encode(text);
    if (cp932::decode(encoded) != text)
        std::abort();
    if (cp932::encodedLength(text) != encoded.size())
        std::abort();

    // Split decoding must equal decoding at once.
    cp932::Decoder decoder;
    QString pieces;
    const qsizetype cut = size ? qsizetype(data[0]) % qsizetype(size + 1) : 0;
    decoder.decode(bytes.first(cut), pieces);
    decoder.decode(bytes.sliced(cut), pieces, true);
    if (pieces != text)
        std::abort();

    // Arbitrary UTF-16 (lone surrogates included) always encodes.
    QString units;
    for (size_t i = 0; i + 1 < size; i += 2)
        units.append(QChar(char16_t(data[i] | (data[i + 1] << 8))));
    const QByteArray html = cp932::encode(units, cp932::numericReference);
    (void)html;
    return 0;
}
