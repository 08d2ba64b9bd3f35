#include "engine/page/classic/classicbody.h"

#include "engine/page/htmltext.h"
#include "engine/text/markupfilter.h"
#include "engine/text/speakerkeys.h"

namespace {

// The page's own markup is ASCII: it goes into the page as it is.
constexpr QByteArrayView PlainOpener = "<dt><font class=Bbody id=Bbody>";
constexpr QByteArrayView NoticeOpener = "<dt><font class=nar id=nar>";
constexpr QByteArrayView LineCloser = "</font><br>";
constexpr QByteArrayView CrLf = textcodec::CrLfBytes;

} // namespace

void ClassicBodyWriter::appendText(QStringView text, QByteArray &out) const
{
    appendPageText(text, m_utf8Page, out);
}

ClassicBodyWriter::ClassicBodyWriter(const LineTests &tests, const SpeakerKeys &keys,
                                     const ClassicSpeakers &speakers, const ClassicLook &look,
                                     bool colorNames)
    : m_sorter(tests, true)
    , m_keys(keys)
    , m_speakers(speakers)
    , m_look(look)
    , m_colorNames(colorNames)
{
}

void ClassicBodyWriter::plainLine(const QString &line, QByteArray &out)
{
    if (m_plainRun == 0)
        out.append(CrLf);
    ++m_plainRun;
    out.append(PlainOpener);
    appendText(line, out);
    out.append(LineCloser);
}

void ClassicBodyWriter::headerLine(const QString &line, LineRole role, QByteArray &out)
{
    m_plainRun = 0;
    // The key is the line's own header prefix, compared literally: a name holding "*", "?",
    // "#" or brackets still finds its own speaker and no other.
    const qsizetype speaker = m_keys.speakerOf(line, nullptr, role);
    if (speaker < 0) {
        out.append("<dt>");
        appendText(line, out);
        return;
    }

    const QStringView prefix = m_keys.headerPrefix(line, role);
    // The header text may end inside a chat tag; the page's own markup goes in right there, so
    // a tag cut open at the end of the prefix is written as text ("&lt;").
    const QString shown = prefix.contains(u'<') ? filterChatMarkup(prefix) : QString();
    const QStringView shownPrefix = shown.isNull() ? prefix : QStringView(shown);
    const QByteArray cls = m_speakers.speakerClasses[speaker].toLatin1();
    if (!m_firstHeader)
        out.append("</font>").append(CrLf);
    m_firstHeader = false;
    if (m_colorNames) {
        out.append("<font color=\"");
        appendText(m_speakers.speakerColors.value(speaker), out);
        out.append("\"><dt>");
        appendText(shownPrefix, out);
        out.append("</font>");
    } else {
        out.append("<dt>");
        appendText(shownPrefix, out);
    }
    out.append(CrLf).append("<font class=").append(cls);
    if (m_look.speakerIds)
        out.append(" id=").append(cls);
    out.append('>');
    appendText(QStringView(line).sliced(prefix.size()), out);
}

void ClassicBodyWriter::messageLine(const QString &line, QByteArray &out)
{
    m_plainRun = 0;
    out.append("<dd>");
    appendText(line, out);
    out.append("<br>");
}

void ClassicBodyWriter::noticeLine(const QString &line, QByteArray &out)
{
    m_plainRun = 0;
    out.append(NoticeOpener);
    appendText(line, out);
    out.append(LineCloser);
}

LineRole ClassicBodyWriter::write(const QString &line, LineRole role, QByteArray &out)
{
    const LineRole sorted = role == LineRole::Unknown ? m_sorter.sort(line) : role;
    switch (sorted) {
    case LineRole::Header:
        headerLine(line, role, out);
        break;
    case LineRole::Message:
    case LineRole::Placeholder:
    case LineRole::Reply:
    case LineRole::Attachment:
    case LineRole::Reactions:
    case LineRole::Edited:
        messageLine(line, out);
        break;
    case LineRole::Notice:
    case LineRole::Date:
    case LineRole::Title:
        noticeLine(line, out);
        break;
    case LineRole::Frame:
    case LineRole::Plain:
    case LineRole::Unknown:
        plainLine(line, out);
        break;
    }
    return sorted;
}
