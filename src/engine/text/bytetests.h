#pragma once

#include "codec/textcodec.h"

#include <QByteArray>
#include <QByteArrayMatcher>
#include <QByteArrayView>
#include <QString>

// What the bytes of a log's line tell of it, so that most lines of a text log need not be
// decoded (nor encoded again). Bytes that lack the header text's are no header line. For a line
// that comes back from a round trip as it is (textcodec::writtenBackAsIs), a separator, a hash
// line and the ends of a standard header and of a send notice are told by their one form too.
// Where a text cannot be told by its bytes (a header text with wildcards, a character of two
// forms), its form is empty and every line is decoded.
struct ByteTests
{
    ByteTests(const QString &headerText, textcodec::Encoding encoding);
    // Surely no header line.
    bool noHeader(QByteArrayView bytes) const
    {
        return headerSize > 0 && header.indexIn(bytes) < 0;
    }
    // For a line that comes back as it is, where the header text can be told by its bytes:
    // whether it is a header line (it holds the header text's bytes where a character starts).
    bool isHeader(QByteArrayView bytes) const { return headerEnd(bytes) >= 0; }
    // For such a line: where its header prefix ends (after the first header text that starts
    // a character), -1 when it is no header line or the header text cannot be told by its
    // bytes.
    qsizetype headerEnd(QByteArrayView bytes) const;

    QByteArray separator;
    QByteArray sendNoticeTail;
    QByteArray standardHeader; // without its leading blank, as LineTests::isStandardHeader
    QByteArrayMatcher header;
    qsizetype headerSize = 0; // of header's pattern (empty: a text its bytes cannot tell)
    textcodec::Encoding encoding;
};
