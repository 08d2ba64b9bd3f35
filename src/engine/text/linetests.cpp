#include "engine/text/linetests.h"

namespace {

const QString SendNoticeTail = QStringLiteral("を送信しようとしています。");

} // namespace

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

LineClass NoticeState::classify(QStringView line)
{
    if (m_state == 0 && LineTests::isSeparator(line))
        m_state = 1;
    LineClass cls = LineClass::Utterance;
    if (m_state == 2) {
        cls = LineClass::Notice;
        if (LineTests::isSendNotice(line))
            m_state = 1;
    } else if (m_state == 1 || m_state == 3) {
        cls = LineClass::Frame;
    }
    if (m_state > 0 && ++m_state == 4)
        m_state = 0;
    return cls;
}

LineRole LineSorter::sort(QStringView line)
{
    if (m_tests.isHeaderLine(line))
        return LineRole::Header;
    if (LineTests::isHashLine(line) || (m_pageRules && LineTests::isStandardHeader(line)))
        return LineRole::Plain;
    switch (m_notices.classify(line)) {
    case LineClass::Utterance:
        return LineRole::Message;
    case LineClass::Notice:
        return LineRole::Notice;
    case LineClass::Frame:
        break;
    }
    return LineRole::Frame;
}
