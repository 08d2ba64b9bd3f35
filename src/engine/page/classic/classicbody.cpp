#include "engine/page/classic/classicbody.h"

#include "engine/page/htmltext.h"
#include "engine/text/bytetests.h"
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

template<typename Text>
void ClassicBodyWriter::otherLine(LineRole role, const Text &text, QByteArray &out)
{
    switch (role) {
    case LineRole::Header: // headerLine()
        return;
    case LineRole::Message:
    case LineRole::Placeholder:
    case LineRole::Reply:
    case LineRole::Attachment:
    case LineRole::Reactions:
    case LineRole::Edited:
        m_plainRun = 0;
        out.append("<dd>");
        text(out);
        out.append("<br>");
        return;
    case LineRole::Notice:
    case LineRole::Date:
    case LineRole::Title:
        m_plainRun = 0;
        out.append(NoticeOpener);
        text(out);
        out.append(LineCloser);
        return;
    case LineRole::Frame:
    case LineRole::Plain:
    case LineRole::Unknown:
        if (m_plainRun == 0)
            out.append(CrLf);
        ++m_plainRun;
        out.append(PlainOpener);
        text(out);
        out.append(LineCloser);
        return;
    }
}

LineRole ClassicBodyWriter::write(const QString &line, LineRole role, QByteArray &out)
{
    const LineRole sorted = role == LineRole::Unknown ? m_sorter.sort(line) : role;
    if (sorted == LineRole::Header)
        headerLine(line, role, out);
    else
        otherLine(
            sorted, [&](QByteArray &o) { appendText(line, o); }, out);
    return sorted;
}

bool ClassicBodyWriter::writeBytes(QByteArrayView bytes, const ByteTests &tests, QByteArray &out)
{
    // Decoded after all: a line that may be a header line, or whose end may be a standard
    // header's or a send notice's.
    if (!tests.noHeader(bytes) || bytes.endsWith(tests.standardHeader)
        || bytes.endsWith(tests.sendNoticeTail))
        return false;
    const LineRole role = m_sorter.sortOther(
        bytes.startsWith("# "), [&] { return bytes == tests.separator; }, [] { return false; });
    otherLine(
        role, [bytes](QByteArray &o) { o.append(bytes); }, out);
    return true;
}
