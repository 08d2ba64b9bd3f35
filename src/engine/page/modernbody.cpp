#include "engine/page/modernbody.h"

#include "engine/page/htmltext.h"
#include "engine/page/modernpage.h"
#include "engine/text/markupfilter.h"
#include "engine/text/speakerkeys.h"

#include <charconv>

namespace {

bool isUrlChar(QChar c)
{
    const char16_t u = c.unicode();
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9'))
        return true;
    return u < 128 && QStringView(u"-._~:/?#[]@!$&'()*+,;=%").contains(c);
}

bool startsWithAt(QStringView text, qsizetype at, QStringView what)
{
    return text.sliced(at).startsWith(what, Qt::CaseInsensitive);
}

// The length of the address starting at `at` ("http://…" or "https://…"), 0 when there is none.
qsizetype urlLength(QStringView text, qsizetype at)
{
    // Most words that start with an "h" are no address: "ttp" after it is checked cheaply first.
    if (text.size() - at < 7 || (text[at + 1].unicode() | 0x20) != u't'
        || (text[at + 2].unicode() | 0x20) != u't' || (text[at + 3].unicode() | 0x20) != u'p')
        return 0;
    qsizetype scheme = 0;
    if (startsWithAt(text, at, u"https://"))
        scheme = 8;
    else if (startsWithAt(text, at, u"http://"))
        scheme = 7;
    else
        return 0;
    qsizetype end = at + scheme;
    while (end < text.size() && isUrlChar(text[end])) {
        // An escaped "<", ">" or quote ends the address, as does a numeric reference; a bare
        // "&" between parameters belongs to it.
        if (text[end] == u'&'
            && (startsWithAt(text, end, u"&lt;") || startsWithAt(text, end, u"&gt;")
                || startsWithAt(text, end, u"&quot;") || startsWithAt(text, end, u"&#")))
            break;
        ++end;
    }
    // Punctuation at the end belongs to the sentence, and a ")" only when one was opened.
    while (end > at + scheme) {
        const QChar last = text[end - 1];
        if (QStringView(u".,;:!?'").contains(last)) {
            --end;
        } else if (last == u')' || last == u']') {
            const QChar open = last == u')' ? u'(' : u'[';
            const QStringView url = text.sliced(at, end - at);
            if (url.count(open) >= url.count(last))
                break;
            --end;
        } else {
            break;
        }
    }
    return end > at + scheme ? end - at : 0;
}

QString tagName(QStringView tag, bool *closing)
{
    qsizetype i = 1;
    *closing = i < tag.size() && tag[i] == u'/';
    if (*closing)
        ++i;
    qsizetype end = i;
    while (end < tag.size() && tag[end].isLetter())
        ++end;
    return tag.sliced(i, end - i).toString().toLower();
}

void trackTag(QStringView tag, QStringList &openTags)
{
    bool closing = false;
    const QString name = tagName(tag, &closing);
    if (name.isEmpty() || name == u"br")
        return;
    if (!closing) {
        openTags.append(name);
        return;
    }
    const qsizetype at = openTags.lastIndexOf(name);
    if (at >= 0)
        openTags.resize(at);
}

} // namespace

void appendChatHtml(QStringView html, QByteArray &out, QStringList &openTags)
{
    // Text between the places where a tag or an address may start goes out in runs.
    const char16_t *p = html.utf16();
    const qsizetype n = html.size();
    qsizetype copied = 0;
    qsizetype i = 0;
    while (i < n) {
        const char16_t c = p[i];
        if (c != u'<' && (c | 0x20) != u'h') {
            ++i;
            continue;
        }
        if (c == u'<') {
            // After the chat filter every "<" opens a whole allowed tag; addresses are looked
            // for only in the text between tags.
            const qsizetype end = chatTagEnd(html, i);
            trackTag(html.sliced(i, end - i), openTags);
            i = end;
            continue;
        }
        if (i == 0 || !html[i - 1].isLetterOrNumber()) {
            if (const qsizetype length = urlLength(html, i)) {
                const QStringView url = html.sliced(i, length);
                appendUtf8(html.sliced(copied, i - copied), out);
                out.append("<a href=\"");
                appendUtf8(url, out);
                out.append("\" rel=\"noopener noreferrer\">");
                appendUtf8(url, out);
                out.append("</a>");
                i += length;
                copied = i;
                continue;
            }
        }
        ++i;
    }
    appendUtf8(html.sliced(copied), out);
}

ModernBody::ModernBody(const LineTests &tests, const SpeakerKeys &keys, const LineStamps &stamps)
    : m_sorter(tests, true)
    , m_keys(keys)
    , m_stamps(stamps)
    , m_markup(keys.count())
{
}

const ModernBody::SpeakerMarkup &ModernBody::markup(qsizetype speaker)
{
    SpeakerMarkup &m = m_markup[speaker];
    if (m.open.isEmpty()) {
        const QByteArray n = QByteArray::number(speaker + 1);
        m.open = "<div class=\"u s" + n;
        m.anchor = "\"><a href=\"#u";
        m.name = "\">";
        appendUtf8(markupText(m_keys.name(speaker)), m.name);
        m.name += "</a>";
    }
    return m;
}

void ModernBody::appendText(QStringView html)
{
    if (m_textOpen) {
        m_out->append('\n');
    } else {
        if (m_block == Block::Utterance)
            m_out->append("<p>");
        m_textOpen = true;
    }
    appendChatHtml(html, *m_out, m_openTags);
}

void ModernBody::openBlock(Block kind, qsizetype speaker)
{
    closeBlock();
    if (!m_sectionOpen) {
        m_out->append("<section class=\"part\">\n");
        m_sectionOpen = true;
    }
    m_block = kind;
    ++m_sectionBlocks;
    switch (kind) {
    case Block::Utterance:
        // The caller ends the opening tag: an utterance adds its anchor, a continuation its
        // mark.
        m_out->append(markup(speaker).open);
        break;
    case Block::Notice:
        m_out->append("<div class=\"note\">");
        break;
    case Block::Plain:
        m_out->append("<div class=\"plain\">");
        break;
    case Block::None:
        break;
    }
}

void ModernBody::closeBlock()
{
    if (m_block == Block::None)
        return;
    for (qsizetype t = m_openTags.size() - 1; t >= 0; --t)
        m_out->append("</").append(m_openTags[t].toLatin1()).append('>');
    m_openTags.clear();
    if (m_block == Block::Utterance && m_textOpen)
        m_out->append("</p>");
    m_out->append("</div>\n");
    m_block = Block::None;
    m_textOpen = false;
    if (m_sectionBlocks >= SectionBlocks || m_sectionLines >= SectionLines) {
        m_out->append("</section>\n");
        m_sectionOpen = false;
        m_sectionBlocks = m_sectionLines = 0;
    }
}

void ModernBody::headerLine(const QString &line, LineRole role)
{
    qsizetype prefixLength = 0;
    const qsizetype speaker = m_keys.speakerOf(line, &prefixLength, role);
    if (speaker < 0) { // cannot happen for a header line; shown as it is
        textLine(line, Block::Plain);
        return;
    }
    QString date, time;
    qsizetype restated = 0;
    const bool stamped = m_stamps.at(m_line, &date, &time, &restated);
    if (stamped && !date.isEmpty() && date != m_lastDate) {
        // A new day: its separator, unless the log writes its own day lines.
        if (!m_dayLines)
            daySeparator(date);
        m_lastDate = date;
    }
    openBlock(Block::Utterance, speaker);
    m_speaker = speaker;
    const SpeakerMarkup &m = markup(speaker);
    char digits[24];
    const auto id = std::to_chars(digits, digits + sizeof digits, ++m_utterance);
    const QByteArrayView number(digits, id.ptr - digits);
    m_out->append("\" id=\"u").append(number).append(m.anchor).append(number).append(m.name);
    if (stamped && !time.isEmpty()) {
        m_restatedLine = m_line + 1;
        m_restated = restated;
        m_out->append("<time>");
        appendUtf8(htmlEscaped(time), *m_out);
        m_out->append("</time>");
    }
    const QStringView rest = QStringView(line).sliced(prefixLength);
    if (!rest.trimmed().isEmpty())
        appendText(rest);
}

void ModernBody::textLine(QStringView html, Block kind)
{
    if (kind == Block::Utterance && m_block != Block::Utterance) {
        if (m_speaker < 0) {
            kind = Block::Plain; // before the first speaker: nobody said it
        } else {
            // Lines after a notice still belong to the speaker before it.
            openBlock(Block::Utterance, m_speaker);
            m_out->append(" more\">");
        }
    }
    if (kind != m_block)
        openBlock(kind, -1);
    appendText(html);
}

void ModernBody::messageLine(const QString &line, bool placeholder)
{
    QStringView text = line;
    if (m_line == m_restatedLine && m_restated > 0 && line.size() >= m_restated
        && line.at(m_restated - 1) == u' ')
        text = text.sliced(m_restated);
    if (placeholder) // a sticker, a photo, a call: the app's words, not the sender's
        textLine(QString(QStringLiteral("<span class=\"ph\">") % text % QStringLiteral("</span>")),
                 Block::Utterance);
    else
        textLine(text, Block::Utterance);
}

void ModernBody::daySeparator(QStringView text)
{
    closeBlock();
    if (!m_sectionOpen) {
        m_out->append("<section class=\"part\">\n");
        m_sectionOpen = true;
    }
    ++m_sectionBlocks;
    m_out->append("<h2 class=\"day\">");
    appendUtf8(text, *m_out);
    m_out->append("</h2>\n");
}

void ModernBody::write(const QString &line, LineRole role, QByteArray &out)
{
    m_out = &out;
    ++m_sectionLines;
    switch (role == LineRole::Unknown ? m_sorter.sort(line) : role) {
    case LineRole::Header:
        headerLine(line, role);
        break;
    case LineRole::Message:
        messageLine(line, false);
        break;
    case LineRole::Placeholder:
        messageLine(line, true);
        break;
    case LineRole::Notice:
        textLine(line, Block::Notice);
        break;
    case LineRole::Date: {
        // The log's own day line, as it writes it; the frame before it carries its date.
        m_dayLines = true;
        daySeparator(line);
        QString time;
        m_stamps.at(m_line - 1, &m_lastDate, &time);
        break;
    }
    case LineRole::Title:
        break; // the page's heading shows the chat's name
    case LineRole::Plain:
    case LineRole::Unknown:
        textLine(line, Block::Plain);
        break;
    case LineRole::Frame:
        // The separators that frame a notice are drawn by the notice's box. A reader's frame
        // ends the box; in a text log a new notice's frame does, and a frame line that is no
        // separator is shown as it is.
        if (role == LineRole::Frame) {
            if (m_block == Block::Notice)
                closeBlock();
        } else if (!LineTests::isSeparator(line)) {
            textLine(line, Block::Plain);
        } else if (m_sorter.openedNotice()) {
            closeBlock();
        }
        break;
    }
    ++m_line;
    m_out = nullptr;
}

void ModernBody::finish(QByteArray &out)
{
    m_out = &out;
    closeBlock();
    if (m_sectionOpen)
        out.append("</section>\n");
    m_sectionOpen = false;
    m_out = nullptr;
}
