#include "modernbody.h"

#include "modernpage.h"
#include "speakerkeys.h"

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

// UTF-8 of the text; a lone surrogate (a byte the log's encoding did not define) becomes
// U+FFFD, so the page is always valid UTF-8.
void appendUtf8(QStringView text, QByteArray &out)
{
    const qsizetype start = out.size();
    out.resize(start + text.size() * 3);
    char *p = out.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80) {
            *p++ = char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
            *p++ = char(0xF0 | (c >> 18));
            *p++ = char(0x80 | ((c >> 12) & 0x3F));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
            *p++ = char(0x80 | (c & 0x3F));
            continue;
        }
        if (QChar::isSurrogate(c))
            c = 0xFFFD;
        if (c < 0x800) {
            *p++ = char(0xC0 | (c >> 6));
        } else {
            *p++ = char(0xE0 | (c >> 12));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
        }
        *p++ = char(0x80 | (c & 0x3F));
    }
    out.resize(p - out.data());
}

} // namespace

void appendChatHtml(QStringView html, QString &out, QStringList &openTags)
{
    qsizetype copied = 0;
    qsizetype i = 0;
    while (i < html.size()) {
        const QChar c = html[i];
        if (c == u'<') {
            // After the chat filter every "<" opens a whole allowed tag.
            const qsizetype close = html.indexOf(u'>', i);
            const qsizetype end = close < 0 ? html.size() : close + 1;
            trackTag(html.sliced(i, end - i), openTags);
            i = end;
            continue;
        }
        if ((c == u'h' || c == u'H') && (i == 0 || !html[i - 1].isLetterOrNumber())) {
            if (const qsizetype n = urlLength(html, i)) {
                const QStringView url = html.sliced(i, n);
                out += html.sliced(copied, i - copied);
                out += QStringLiteral("<a href=\"") % url
                    % QStringLiteral("\" rel=\"noopener noreferrer\">") % url
                    % QStringLiteral("</a>");
                i += n;
                copied = i;
                continue;
            }
        }
        ++i;
    }
    out += html.sliced(copied);
}

ModernBody::ModernBody(const LineTests &tests, const SpeakerKeys &keys, const LineStamps &stamps)
    : m_tests(tests)
    , m_keys(keys)
    , m_stamps(stamps)
{
}

void ModernBody::appendText(QStringView html)
{
    if (m_textOpen) {
        m_html += u'\n';
    } else {
        m_html += m_block == Block::Utterance ? QStringLiteral("<p class=\"t\">") : QString();
        m_textOpen = true;
    }
    appendChatHtml(html, m_html, m_openTags);
}

void ModernBody::openBlock(Block kind, qsizetype speaker)
{
    closeBlock();
    if (!m_sectionOpen) {
        m_html += QStringLiteral("<section class=\"part\">\n");
        m_sectionOpen = true;
    }
    m_block = kind;
    ++m_sectionBlocks;
    switch (kind) {
    case Block::Utterance:
        // The caller ends the opening tag: an utterance adds its anchor, a continuation its
        // mark.
        m_html += QStringLiteral("<div class=\"u sp s") % QString::number(speaker + 1);
        break;
    case Block::Notice:
        m_html += QStringLiteral("<div class=\"note\">");
        break;
    case Block::Plain:
        m_html += QStringLiteral("<div class=\"plain\">");
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
        m_html += QStringLiteral("</") % m_openTags[t] % QLatin1Char('>');
    m_openTags.clear();
    if (m_block == Block::Utterance && m_textOpen)
        m_html += QStringLiteral("</p>");
    m_html += QStringLiteral("</div>\n");
    m_block = Block::None;
    m_textOpen = false;
    if (m_sectionBlocks >= SectionBlocks || m_sectionLines >= SectionLines) {
        m_html += QStringLiteral("</section>\n");
        m_sectionOpen = false;
        m_sectionBlocks = m_sectionLines = 0;
    }
}

void ModernBody::headerLine(const QString &line)
{
    const qsizetype speaker = m_keys.speakerOf(line);
    if (speaker < 0) { // cannot happen for a header line; shown as it is
        textLine(line, Block::Plain);
        return;
    }
    openBlock(Block::Utterance, speaker);
    m_speaker = speaker;
    const QString n = QString::number(speaker + 1);
    const QString id = QStringLiteral("u") + QString::number(++m_utterance);
    m_html += QStringLiteral("\" id=\"") % id % QStringLiteral("\" data-s=\"") % n
        % QStringLiteral("\"><div class=\"h\"><a class=\"n\" href=\"#") % id % QStringLiteral("\">")
        % markupText(m_keys.name(speaker)) % QStringLiteral("</a>");
    QString date, time;
    if (m_stamps.at(m_line, &date, &time)) {
        QString shown = time;
        if (!date.isEmpty() && date != m_lastDate)
            shown = time.isEmpty() ? date : date % QLatin1Char(' ') % time;
        m_lastDate = date.isEmpty() ? m_lastDate : date;
        if (!shown.isEmpty())
            m_html += QStringLiteral("<time>") % htmlEscaped(shown) % QStringLiteral("</time>");
    }
    m_html += QStringLiteral("</div>");
    const QStringView rest = QStringView(line).sliced(m_keys.headerPrefix(line).size());
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
            const QString n = QString::number(m_speaker + 1);
            m_html += QStringLiteral(" more\" data-s=\"") % n % QStringLiteral("\">");
        }
    }
    if (kind != m_block)
        openBlock(kind, -1);
    appendText(html);
}

void ModernBody::write(const QString &line, QByteArray &out)
{
    ++m_sectionLines;
    if (m_tests.isHeaderLine(line)) {
        headerLine(line);
    } else if (LineTests::isHashLine(line) || LineTests::isStandardHeader(line)) {
        textLine(line, Block::Plain);
    } else {
        switch (m_notices.classify(line)) {
        case LineClass::Utterance:
            textLine(line, Block::Utterance);
            break;
        case LineClass::Notice:
            textLine(line, Block::Notice);
            break;
        case LineClass::Frame:
            // The separators that frame a notice are drawn by the notice's box.
            if (!LineTests::isSeparator(line))
                textLine(line, Block::Plain);
            else if (m_notices.value() == 2) // an opening separator: a new notice follows
                closeBlock();
            break;
        }
    }
    ++m_line;
    flushTo(out);
}

void ModernBody::finish(QByteArray &out)
{
    closeBlock();
    if (m_sectionOpen)
        m_html += QStringLiteral("</section>\n");
    m_sectionOpen = false;
    flushTo(out);
}

void ModernBody::flushTo(QByteArray &out)
{
    appendUtf8(m_html, out);
    m_html.resize(0);
}
