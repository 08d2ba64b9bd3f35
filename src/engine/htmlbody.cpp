#include "htmlbody.h"

#include "speakerkeys.h"

namespace {

const QString PlainOpener = QStringLiteral("<dt><font class=Bbody id=Bbody>");
const QString NoticeOpener = QStringLiteral("<dt><font class=nar id=nar>");
const QString LineCloser = QStringLiteral("</font><br>");
const QString CrLf = QStringLiteral("\r\n");

} // namespace

BodyWriter::BodyWriter(const LineTests &tests, const SpeakerKeys &keys,
                       const PageSpeakers &speakers, const PageStyle &style, bool colorNames)
    : m_tests(tests)
    , m_keys(keys)
    , m_speakers(speakers)
    , m_style(style)
    , m_colorNames(colorNames)
{
}

QString BodyWriter::plainLine(const QString &line)
{
    const bool first = m_plainRun == 0;
    ++m_plainRun;
    return (first ? CrLf : QString()) % PlainOpener % line % LineCloser;
}

QString BodyWriter::headerLine(const QString &line)
{
    m_plainRun = 0;
    // The key is the line's own header prefix, compared literally: a name holding "*", "?",
    // "#" or brackets still finds its own speaker and no other.
    const qsizetype speaker = m_keys.speakerOf(line);
    if (speaker < 0)
        return QStringLiteral("<dt>") + line;

    const QStringView prefix = m_keys.headerPrefix(line);
    const QStringView rest = QStringView(line).sliced(prefix.size());
    const QString &cls = m_speakers.classes[speaker];
    QString out;
    if (!m_firstHeader)
        out += QStringLiteral("</font>") % CrLf;
    m_firstHeader = false;
    if (m_colorNames) {
        out += QStringLiteral("<font color=\"") % m_speakers.colors.value(speaker)
            % QStringLiteral("\"><dt>") % prefix % QStringLiteral("</font>");
    } else {
        out += QStringLiteral("<dt>") % prefix;
    }
    out += CrLf % QStringLiteral("<font class=") % cls;
    if (m_style.needsIds())
        out += QStringLiteral(" id=") % cls;
    out += QLatin1Char('>') % rest;
    return out;
}

QString BodyWriter::convert(const QString &line)
{
    if (m_tests.isHeaderLine(line))
        return headerLine(line);
    if (LineTests::isHashLine(line) || LineTests::isStandardHeader(line))
        return plainLine(line);
    switch (m_notices.classify(line)) {
    case LineClass::Utterance:
        m_plainRun = 0;
        return QStringLiteral("<dd>") % line % QStringLiteral("<br>");
    case LineClass::Notice:
        m_plainRun = 0;
        return NoticeOpener % line % LineCloser;
    case LineClass::Frame:
        break;
    }
    return plainLine(line);
}
