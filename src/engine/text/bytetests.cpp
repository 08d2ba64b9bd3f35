#include "engine/text/bytetests.h"

#include "codec/samebytes.h"
#include "engine/text/linetests.h"

#include <algorithm>

ByteTests::ByteTests(const QString &headerText, textcodec::Encoding encoding)
    : separator(textcodec::onlyForm(SeparatorLine, encoding))
    , sendNoticeTail(textcodec::onlyForm(SendNoticeTail, encoding))
    , standardHeader(textcodec::onlyForm(QStringView(StandardHeaderText).sliced(1), encoding))
{
    const bool wildcards = std::any_of(headerText.begin(), headerText.end(), [](QChar c) {
        return c == u'*' || c == u'?' || c == u'#' || c == u'[';
    });
    if (!wildcards && !separator.isEmpty() && !sendNoticeTail.isEmpty()
        && !standardHeader.isEmpty())
        header.setPattern(textcodec::onlyForm(headerText, encoding));
}
