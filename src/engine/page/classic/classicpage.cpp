#include "engine/page/classic/classicpage.h"

#include "codec/textcodec.h"
#include "engine/page/pagebytes.h"
#include "engine/text/speakerkeys.h"
#include "settings/settings.h"

namespace {

const QString ListEnd = QStringLiteral("</font>\r\n</dl>\r\n");
const QString DocumentEnd = QStringLiteral("</body>\r\n</html>");

ClassicSpeakers classicSpeakers(const PageFacts &facts)
{
    ClassicSpeakers speakers;
    for (qsizetype k = 0; k < facts.speakers.count(); ++k) {
        speakers.titleNames.append(facts.speakers.name(k));
        speakers.speakerColors.append(facts.colors.value(k));
        speakers.speakerClasses.append(speakerClassName(k));
    }
    speakers.legendLabels = makeLegendLabels(facts.speakers.names());
    return speakers;
}

// The classic page was always titled by the log's name up to its first ".": its pages stay as
// they were.
QString classicTitle(const QString &baseName)
{
    const qsizetype dot = baseName.indexOf(u'.');
    return dot < 0 ? baseName : baseName.left(dot);
}

} // namespace

ClassicPageWriter::ClassicPageWriter(const PageFacts &facts, const Settings &settings,
                                     const Palette &palette)
    : m_baseName(classicTitle(facts.baseName))
    , m_utf8Page(facts.utf8Page)
    , m_look(ClassicLook::fromSettings(settings, palette))
    , m_speakers(classicSpeakers(facts))
    , m_body(facts.tests, facts.speakers, m_speakers, m_look, settings.colorNameToo == 1)
{
    m_look.timeZone = facts.timeZone;
    m_look.redacted = facts.redacted;
    m_body.setUtf8Page(m_utf8Page);
    m_provenance = facts.provenance;
}

void ClassicPageWriter::writeHead(const PageBytes &out)
{
    QByteArray bytes;
    writeClassicHead(
        m_baseName, m_speakers, m_look,
        [&](QStringView piece) {
            appendPageText(piece, m_utf8Page, bytes);
            out(bytes);
            bytes.resize(0);
        },
        m_utf8Page);
}

LineRole ClassicPageWriter::writeLine(const QString &line, LineRole role, QStringView, qint64,
                                      QByteArray &out)
{
    const LineRole sorted = m_body.write(line, role, out);
    pagebytes::put(out, textcodec::CrLfBytes);
    return sorted;
}

bool ClassicPageWriter::writeLineBytes(QByteArrayView bytes, const ByteTests &tests,
                                       QByteArray &out)
{
    if (!m_body.writeBytes(bytes, tests, out))
        return false;
    pagebytes::put(out, textcodec::CrLfBytes);
    return true;
}

void ClassicPageWriter::writeEnd(QByteArray &out)
{
    // Said only when asked (Settings::provenance): a page of the defaults stays as it was.
    QString end = ListEnd;
    if (m_provenance)
        end += provenanceHtml(m_provenance()).replace(u'\n', QStringLiteral("\r\n"));
    end += DocumentEnd;
    appendPageText(end, m_utf8Page, out);
    out.append(textcodec::CrLfBytes);
}
