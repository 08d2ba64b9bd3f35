#include "engine/text/linetests.h"

LineTests::LineTests(const QString &headerText)
    : m_headerText(headerText)
    , m_header(QString(u'*' + headerText + u'*'))
{
}

bool LineTests::isHashLine(QStringView line)
{
    return line.size() >= 2 && line[0] == u'#' && line[1] == u' ';
}

bool LineTests::isStandardHeader(QStringView line)
{
    // The standard header without its leading blank.
    return line.endsWith(QStringView(StandardHeaderText).sliced(1));
}

bool LineTests::isSendNotice(QStringView line)
{
    return line.endsWith(SendNoticeTail);
}
