#include "engine/text/bytetests.h"

#include "codec/samebytes.h"
#include "engine/text/linetests.h"

#include <algorithm>

ByteTests::ByteTests(const QString &headerText, textcodec::Encoding encoding)
    : separator(textcodec::onlyForm(SeparatorLine, encoding))
    , sendNoticeTail(textcodec::onlyForm(SendNoticeTail, encoding))
    , standardHeader(textcodec::onlyForm(QStringView(StandardHeaderText).sliced(1), encoding))
    , encoding(encoding)
{
    const bool wildcards = std::any_of(headerText.begin(), headerText.end(), [](QChar c) {
        return c == u'*' || c == u'?' || c == u'#' || c == u'[';
    });
    if (!wildcards && !separator.isEmpty() && !sendNoticeTail.isEmpty()
        && !standardHeader.isEmpty()) {
        header.setPattern(textcodec::onlyForm(headerText, encoding));
        headerSize = header.pattern().size();
    }
}

qsizetype ByteTests::headerEnd(QByteArrayView bytes) const
{
    if (headerSize == 0)
        return -1;
    for (qsizetype at = header.indexIn(bytes); at >= 0; at = header.indexIn(bytes, at + 1)) {
        if (textcodec::startsCharacter(bytes, at, encoding))
            return at + headerSize;
    }
    return -1;
}
