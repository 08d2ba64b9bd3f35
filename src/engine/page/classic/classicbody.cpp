#include "engine/page/classic/classicbody.h"

#include "engine/page/htmltext.h"
#include "engine/page/pagebytes.h"
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
        pagebytes::put(out, "<dt>");
        appendText(line, out);
        return;
    }

    const QStringView prefix = m_keys.headerPrefix(line, role);
    // The header text may end inside a chat tag; the page's own markup goes in right there, so
    // a tag cut open at the end of the prefix is written as text ("&lt;").
    const QString shown = prefix.contains(u'<') ? filterChatMarkup(prefix) : QString();
    const QStringView shownPrefix = shown.isNull() ? prefix : QStringView(shown);
    headerMarkup(
        speaker, [&](QByteArray &o) { appendText(shownPrefix, o); },
        [&](QByteArray &o) { appendText(QStringView(line).sliced(prefix.size()), o); }, out);
}

template<typename Prefix, typename Rest>
void ClassicBodyWriter::headerMarkup(qsizetype speaker, const Prefix &prefix, const Rest &rest,
                                     QByteArray &out)
{
    const QByteArray cls = m_speakers.speakerClasses[speaker].toLatin1();
    if (!m_firstHeader)
        pagebytes::putAll(out, "</font>", CrLf);
    m_firstHeader = false;
    if (m_colorNames) {
        pagebytes::put(out, "<font color=\"");
        appendText(m_speakers.speakerColors.value(speaker), out);
        pagebytes::put(out, "\"><dt>");
        prefix(out);
        pagebytes::put(out, "</font>");
    } else {
        pagebytes::put(out, "<dt>");
        prefix(out);
    }
    pagebytes::putAll(out, CrLf, "<font class=", cls);
    if (m_look.speakerIds)
        pagebytes::putAll(out, " id=", cls);
    pagebytes::put(out, '>');
    rest(out);
}

qsizetype ClassicBodyWriter::speakerOfBytes(QByteArrayView prefix, const ByteTests &tests)
{
    const auto found
        = m_prefixSpeakers.constFind(QByteArray::fromRawData(prefix.data(), prefix.size()));
    if (found != m_prefixSpeakers.cend())
        return *found;
    QString text;
    textcodec::Decoder(tests.encoding).decode(prefix, text, true);
    const qsizetype speaker = m_keys.speakerOf(text);
    if (m_prefixSpeakers.size() >= 4096) // a log of ever new names: the page is not held up
        m_prefixSpeakers.clear();
    m_prefixSpeakers.insert(prefix.toByteArray(), speaker);
    return speaker;
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
        pagebytes::put(out, "<dd>");
        text(out);
        pagebytes::put(out, "<br>");
        return;
    case LineRole::Notice:
    case LineRole::Date:
    case LineRole::Title:
        m_plainRun = 0;
        pagebytes::put(out, NoticeOpener);
        text(out);
        pagebytes::put(out, LineCloser);
        return;
    case LineRole::Frame:
    case LineRole::Plain:
    case LineRole::Unknown:
        if (m_plainRun == 0)
            pagebytes::put(out, CrLf);
        ++m_plainRun;
        pagebytes::put(out, PlainOpener);
        text(out);
        pagebytes::put(out, LineCloser);
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
    if (!tests.noHeader(bytes)) {
        // A header line of a known speaker, its prefix told by its bytes (as headerLine() and
        // the sorter would tell it in the decoded line); any other is decoded after all.
        const qsizetype end = tests.headerEnd(bytes);
        const qsizetype speaker = end > 0 ? speakerOfBytes(bytes.first(end), tests) : -1;
        if (speaker < 0)
            return false;
        m_plainRun = 0;
        headerMarkup(
            speaker, [&](QByteArray &o) { pagebytes::put(o, bytes.first(end)); },
            [&](QByteArray &o) { pagebytes::put(o, bytes.sliced(end)); }, out);
        return true;
    }
    // Decoded after all: a line whose end may be a standard header's or a send notice's.
    if (bytes.endsWith(tests.standardHeader) || bytes.endsWith(tests.sendNoticeTail))
        return false;
    const LineRole role = m_sorter.sortOther(
        bytes.startsWith("# "), [&] { return bytes == tests.separator; }, [] { return false; });
    otherLine(
        role, [bytes](QByteArray &o) { pagebytes::put(o, bytes); }, out);
    return true;
}
