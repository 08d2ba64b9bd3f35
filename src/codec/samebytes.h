#pragma once

#include "textcodec.h"

#include <QByteArrayView>

// Whether bytes come out of a round trip through the text unchanged, so that a writer may copy
// them as they are instead of decoding and encoding them again.
namespace textcodec {

// Code page 932: false where a byte does not decode, a pair is cut off, or a character that
// two pairs decode to (the NEC and IBM rows) is written as its other pair.
bool cp932RoundTrips(QByteArrayView bytes);

// Decoding `bytes` and encoding the text again in `encoding` gives the very same bytes:
// Shift-JIS as cp932RoundTrips() says, UTF-8 when valid throughout; false for any other
// encoding.
bool writtenBackAsIs(QByteArrayView bytes, Encoding encoding);

// The bytes every occurrence of `text` in a decoded text was read from, where each of its
// characters can be written only one way in `encoding` (Shift-JIS or UTF-8); empty otherwise.
// A line whose bytes lack them does not hold the text.
QByteArray onlyForm(QStringView text, Encoding encoding);

// Whether a character of the text `bytes` decode to starts at byte `at`, for bytes in
// Shift-JIS or UTF-8 that come back unchanged (writtenBackAsIs()).
bool startsCharacter(QByteArrayView bytes, qsizetype at, Encoding encoding);

} // namespace textcodec
