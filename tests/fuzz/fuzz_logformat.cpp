// Encoding and line-end detection, the decoders and the LINE export reader on arbitrary bytes:
// - detection gives the same answer whether the file comes whole, in two pieces or byte by byte
//   (also for a long file made of the input repeated);
// - decoding in two pieces equals decoding at once, and UTF-8 and UTF-16 give back every byte;
// - the LINE reader gives at least one line for every line of the export that is not blank,
//   never a line holding a line break, and the same lines again after a reset.
//
// Input: a control byte (the encoding asked for), a cut position, then the bytes.
#include "codec/detect.h"
#include "engine/read/formats/lineexport/lineexport.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

bool same(const textcodec::Detection &a, const textcodec::Detection &b)
{
    return a.encoding == b.encoding && a.bomBytes == b.bomBytes && a.lineEnd == b.lineEnd
        && a.hasLineEnd == b.hasLineEnd;
}

QStringList converted(LineExportConverter &converter)
{
    QStringList out;
    LineExportConverter::Converted line;
    while (converter.next(line))
        out.append(line.text);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const auto choice = textcodec::Choice(data[0] % 4);
    const QByteArrayView bytes(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    const qsizetype cut = qsizetype(data[1]) % (bytes.size() + 1);

    textcodec::Detector whole(choice), halves(choice), single(choice);
    whole.feed(bytes);
    halves.feed(bytes.first(cut));
    halves.feed(bytes.sliced(cut));
    for (qsizetype i = 0; i < bytes.size(); ++i)
        single.feed(bytes.sliced(i, 1));
    const textcodec::Detection d = whole.result();
    check(same(d, halves.result()) && same(d, single.result()));
    // Long pieces are validated as UTF-8 in stretches side by side: the same as byte by byte.
    QByteArray repeated;
    while (!bytes.isEmpty() && repeated.size() < 9000)
        repeated += bytes;
    textcodec::Detector longPiece(choice), bytewise(choice);
    longPiece.feed(repeated);
    for (qsizetype i = 0; i < repeated.size(); ++i)
        bytewise.feed(QByteArrayView(repeated).sliced(i, 1));
    check(same(longPiece.result(), bytewise.result()));

    const QByteArrayView body = bytes.sliced(d.bomBytes);
    QString text, pieces;
    textcodec::Decoder(d.encoding).decode(body, text, true);
    textcodec::Decoder split(d.encoding);
    const qsizetype at = qMin(cut, body.size());
    split.decode(body.first(at), pieces);
    split.decode(body.sliced(at), pieces, true);
    check(pieces == text);
    // A log of UTF-16 with half a unit is refused before decoding; every other comes back.
    if (d.encoding != textcodec::Encoding::ShiftJis
        && !(textcodec::isUtf16(d.encoding) && body.size() % 2 != 0)) {
        QByteArray again;
        textcodec::encodeAppend(text, d.encoding, again);
        check(again == body);
    }

    const QStringList lines = QString(QStringLiteral("[LINE] ") + text).split(u'\n');
    qsizetype given = 0;
    LineExportConverter converter(
        QStringLiteral("の発言："),
        [&](ExportLine &line) {
            if (given >= lines.size())
                return false;
            line.text = lines[given++];
            line.ended = given < lines.size();
            return true;
        },
        [&](const std::function<void(QStringView)> &line) {
            for (const QString &l : lines)
                line(l);
        });
    const QStringList out = converted(converter);
    qsizetype nonBlank = 0;
    for (const QString &l : std::as_const(lines))
        nonBlank += l.isEmpty() ? 0 : 1;
    check(out.size() >= nonBlank);
    for (const QString &l : out)
        check(!l.contains(u'\n'));
    given = 0;
    converter.reset();
    check(converted(converter) == out);
    return 0;
}
