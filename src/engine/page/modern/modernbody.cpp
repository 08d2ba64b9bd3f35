#include "engine/page/modern/modernbody.h"

#include "engine/page/htmltext.h"
#include "engine/page/modern/modernpage.h"
#include "engine/page/pagebytes.h"
#include "engine/page/provenance.h"
#include "engine/text/markupfilter.h"
#include "engine/text/speakerkeys.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace {

// Between the blocks of a section, and between an utterance's name and its message: a carriage
// return, white space that shows as nothing there. Written as a reference, since a browser reads
// a carriage return in the page's source as a line break; so chat text brings none but by the
// same reference.
constexpr QByteArrayView Separator = "&#13;";

// Whether htmlEscaped() would change the text (most times and dates hold only digits).
bool hasHtmlSpecials(QStringView text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c == u'<' || c == u'>' || c == u'&' || c == u'"'; });
}

// A stamp's time, escaped, in UTF-8. Most are a few ASCII digits and colons ("21:03"), copied
// as they are: the encoder's setting up costs more than such a time.
void appendTime(QStringView time, QByteArray &out)
{
    char ascii[16];
    qsizetype n = 0;
    for (; n < time.size() && n < qsizetype(sizeof ascii); ++n) {
        const char16_t c = time[n].unicode();
        if (c >= 0x80 || c == u'<' || c == u'>' || c == u'&' || c == u'"')
            break;
        ascii[n] = char(c);
    }
    if (n == time.size())
        pagebytes::put(out, ascii, n);
    else
        appendUtf8(hasHtmlSpecials(time) ? htmlEscaped(time) : time.toString(), out);
}

// The ASCII characters an address may hold, looked up rather than searched for.
constexpr std::array<bool, 128> UrlChars = [] {
    std::array<bool, 128> chars {};
    for (char c = 'a'; c <= 'z'; ++c)
        chars[size_t(c)] = chars[size_t(c - 'a' + 'A')] = true;
    for (char c = '0'; c <= '9'; ++c)
        chars[size_t(c)] = true;
    for (const char c : std::string_view("-._~:/?#[]@!$&'()*+,;=%"))
        chars[size_t(c)] = true;
    return chars;
}();

bool isUrlChar(QChar c)
{
    return c.unicode() < 128 && UrlChars[c.unicode()];
}

// `what` is ASCII. Compared by hand while the text is ASCII too; a character beyond it (one
// whose case folds into ASCII) is left to Qt's folding.
bool startsWithAt(QStringView text, qsizetype at, QStringView what)
{
    if (text.size() - at < what.size())
        return false;
    for (qsizetype k = 0; k < what.size(); ++k) {
        const char16_t c = text[at + k].unicode();
        if (c >= 0x80)
            return text.sliced(at).startsWith(what, Qt::CaseInsensitive);
        const auto lower = [](char16_t u) {
            return u >= u'A' && u <= u'Z' ? char16_t(u | 0x20) : u;
        };
        if (lower(c) != lower(what[k].unicode()))
            return false;
    }
    return true;
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

// An address as it was written: a bare "&" is escaped, so that a browser never reads
// "&region=" or "&times=" as a character reference; an "&amp;" the chat wrote stays. Its
// characters are ASCII (isUrlChar), copied a byte each, but for a scheme's letter whose case
// folds into ASCII.
void appendAddress(QStringView url, QByteArray &out)
{
    for (qsizetype at = 0; at < url.size();) {
        qsizetype end = at;
        while (end < url.size() && url[end] != u'&' && url[end].unicode() < 0x80)
            ++end;
        const qsizetype written = out.size();
        out.resize(written + (end - at));
        char *o = out.data() + written;
        for (; at < end; ++at)
            *o++ = char(url[at].unicode());
        if (at == url.size())
            break;
        if (url[at] != u'&')
            appendUtf8(url.sliced(at, 1), out);
        else if (startsWithAt(url, at, u"&amp;"))
            pagebytes::put(out, '&');
        else
            pagebytes::put(out, "&amp;");
        ++at;
    }
}

// The chat tag a tag of filtered text opens or closes, as the page closes it; empty for "br",
// which needs no closing.
QLatin1StringView tagName(QStringView tag, bool *closing)
{
    static constexpr QLatin1StringView Names[]
        = {QLatin1StringView("b"),      QLatin1StringView("i"),      QLatin1StringView("u"),
           QLatin1StringView("s"),      QLatin1StringView("strike"), QLatin1StringView("em"),
           QLatin1StringView("strong"), QLatin1StringView("big"),    QLatin1StringView("small"),
           QLatin1StringView("sub"),    QLatin1StringView("sup"),    QLatin1StringView("tt"),
           QLatin1StringView("font")};
    qsizetype i = 1;
    *closing = i < tag.size() && tag[i] == u'/';
    if (*closing)
        ++i;
    // The allowed names are a few ASCII letters.
    char name[8];
    qsizetype length = 0;
    for (; i < tag.size() && length < qsizetype(sizeof name); ++i, ++length) {
        const char16_t c = tag[i].unicode() | 0x20;
        if (c < u'a' || c > u'z')
            break;
        name[length] = char(c);
    }
    const QLatin1StringView lower(name, length);
    for (const QLatin1StringView known : Names) {
        if (known == lower)
            return known;
    }
    return {};
}

void trackTag(QStringView tag, OpenTags &openTags)
{
    bool closing = false;
    const QLatin1StringView name = tagName(tag, &closing);
    if (name.isEmpty())
        return;
    if (!closing) {
        openTags.append(name);
        return;
    }
    for (qsizetype at = openTags.size() - 1; at >= 0; --at) {
        if (openTags[at] == name) {
            openTags.resize(at);
            return;
        }
    }
}

} // namespace

void appendChatHtml(QStringView html, QByteArray &out, OpenTags &openTags)
{
    // One pass writes the text as UTF-8 and finds where a tag or an address starts. UTF-8 takes
    // at most three bytes per UTF-16 unit; a lone surrogate (a byte the log's encoding did not
    // define) becomes U+FFFD, so the page is always valid UTF-8.
    const char16_t *p = html.utf16();
    const qsizetype n = html.size();
    qsizetype written = out.size();
    out.resize(written + 3 * n);
    char *o = out.data() + written;
    qsizetype tagEnd = 0; // addresses are looked for only in the text between tags
    for (qsizetype i = 0; i < n;) {
        // Runs of characters of three bytes each (most Japanese text), none a surrogate, and of
        // ASCII that starts no tag and no address take the short way.
        while (i < n && p[i] >= 0x800 && (p[i] < 0xD800 || p[i] >= 0xE000)) {
            const char16_t u = p[i++];
            *o++ = char(0xE0 | (u >> 12));
            *o++ = char(0x80 | ((u >> 6) & 0x3F));
            *o++ = char(0x80 | (u & 0x3F));
        }
        while (i < n && p[i] < 0x80 && p[i] != u'<' && (p[i] | 0x20) != u'h')
            *o++ = char(p[i++]);
        if (i == n)
            break;
        const char16_t c = p[i];
        if (c < 0x80) {
            if (c == u'<') {
                // After the chat filter every "<" opens a whole allowed tag.
                tagEnd = chatTagEnd(html, i);
                trackTag(html.sliced(i, tagEnd - i), openTags);
            } else if ((c | 0x20) == u'h' && i >= tagEnd
                       && (i == 0 || !QChar(p[i - 1]).isLetterOrNumber())) {
                if (const qsizetype length = urlLength(html, i)) {
                    const QStringView url = html.sliced(i, length);
                    out.resize(o - out.constData());
                    out.append("<a href=\"");
                    appendAddress(url, out);
                    out.append("\" rel=\"noopener noreferrer\">");
                    appendAddress(url, out);
                    out.append("</a>");
                    i += length;
                    written = out.size();
                    out.resize(written + 3 * (n - i));
                    o = out.data() + written;
                    continue;
                }
            }
            *o++ = char(c);
            ++i;
        } else if (c < 0x800) {
            *o++ = char(0xC0 | (c >> 6));
            *o++ = char(0x80 | (c & 0x3F));
            ++i;
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            const char32_t u = QChar::surrogateToUcs4(c, p[i + 1]);
            *o++ = char(0xF0 | (u >> 18));
            *o++ = char(0x80 | ((u >> 12) & 0x3F));
            *o++ = char(0x80 | ((u >> 6) & 0x3F));
            *o++ = char(0x80 | (u & 0x3F));
            i += 2;
        } else {
            const char16_t u = QChar::isSurrogate(c) ? char16_t(0xFFFD) : c;
            *o++ = char(0xE0 | (u >> 12));
            *o++ = char(0x80 | ((u >> 6) & 0x3F));
            *o++ = char(0x80 | (u & 0x3F));
            ++i;
        }
    }
    out.resize(o - out.constData());
}

ModernBody::ModernBody(const LineTests &tests, const SpeakerKeys &keys, const LineStamps &stamps)
    : m_sorter(tests, true)
    , m_keys(keys)
    , m_stamps(stamps)
    , m_names(keys.count())
{
}

// `<div class="u sN`: the caller ends the opening tag.
void ModernBody::openUtterance(qsizetype speaker)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, speaker + 1).ptr;
    pagebytes::putAll(*m_out, "<div class=\"u s", QByteArrayView(digits, end - digits));
}

const QByteArray &ModernBody::nameMarkup(qsizetype speaker)
{
    QByteArray &name = m_names[speaker];
    if (name.isEmpty()) {
        name = "\">";
        appendUtf8(markupText(m_keys.name(speaker)), name);
        name += "</a>";
    }
    return name;
}

void ModernBody::appendText(QStringView html, bool linked)
{
    if (m_textOpen) {
        pagebytes::put(*m_out, '\n');
    } else {
        if (m_block == Block::Utterance)
            pagebytes::put(*m_out, "<p>");
        m_textOpen = true;
    }
    if (linked)
        appendChatHtml(html, *m_out, m_openTags);
    else
        appendUtf8(html, *m_out);
}

void ModernBody::openBlock(Block kind, qsizetype speaker, bool header)
{
    closeBlock();
    openSection();
    m_block = kind;
    ++m_sectionBlocks;
    if (!m_codes.isEmpty())
        pagebytes::put(m_codes, ' ');
    switch (kind) {
    case Block::Utterance: {
        // The caller ends the opening tag: an utterance adds its anchor, a continuation its
        // mark.
        openUtterance(speaker);
        char digits[24];
        const auto end
            = std::to_chars(digits, digits + sizeof digits, header ? speaker + 1 : -speaker - 1)
                  .ptr;
        pagebytes::put(m_codes, QByteArrayView(digits, end - digits));
        break;
    }
    case Block::Notice:
        pagebytes::put(*m_out, "<div class=\"note\">");
        pagebytes::put(m_codes, '0');
        break;
    case Block::Plain:
        pagebytes::put(*m_out, "<div class=\"plain\">");
        pagebytes::put(m_codes, '0');
        break;
    case Block::None:
        break;
    }
}

void ModernBody::openSection()
{
    if (m_sectionOpen)
        return;
    if (m_chapterSections == 0)
        m_out->append("<div class=\"chap\">\n");
    pagebytes::putAll(*m_out, "<section class=\"part\">", Separator);
    m_sectionOpen = true;
}

void ModernBody::closeSection()
{
    // What the section holds, block by block, for the page's script: it reads a section's text
    // in one piece and finds its blocks by the line breaks (see the class comment).
    pagebytes::putAll(*m_out, "<template data-w=\"", m_codes, "\"></template></section>\n");
    m_codes.resize(0);
    m_sectionOpen = false;
    m_sectionBlocks = m_sectionLines = 0;
    if (++m_chapterSections < ChapterSections)
        return;
    // An empty script ends a chapter: a browser's parser may pause right after a script, so a
    // long page is read in short steps and stays responsive while it loads. (An empty script
    // runs nothing, and the page's security policy need not name it.)
    m_out->append("</div>\n<script></script>\n");
    m_chapterSections = 0;
}

void ModernBody::closeBlock()
{
    if (m_block == Block::None)
        return;
    for (qsizetype t = m_openTags.size() - 1; t >= 0; --t)
        pagebytes::putAll(*m_out, "</", m_openTags[t], '>');
    m_openTags.clear();
    if (m_block == Block::Utterance && m_textOpen)
        pagebytes::put(*m_out, "</p>");
    pagebytes::putAll(*m_out, "</div>", Separator);
    m_block = Block::None;
    m_textOpen = false;
    if (m_sectionBlocks >= SectionBlocks || m_sectionLines >= SectionLines)
        closeSection();
}

void ModernBody::headerLine(const QString &line, LineRole role, QStringView record,
                            qint64 sourceLine)
{
    qsizetype prefixLength = 0;
    const qsizetype speaker = m_keys.speakerOf(line, &prefixLength, role);
    if (speaker < 0) { // cannot happen for a header line; shown as it is
        textLine(line, Block::Plain);
        return;
    }
    // Right after the same speaker's last words, with nothing between, the name is not
    // repeated: the page groups the two.
    bool grouped = m_block == Block::Utterance && m_speaker == speaker;
    QString date, time, to;
    qsizetype restated = 0;
    const bool stamped = m_stamps.at(m_line, &date, &time, &restated, &to);
    // Words to other people than the last ones start a new group, which names them.
    if (to != m_lastTo)
        grouped = false;
    m_lastTo = to;
    if (stamped && !date.isEmpty() && date != m_lastDate) {
        // A new day: its separator, unless the log writes its own day lines.
        if (!m_dayLines) {
            daySeparator(htmlEscaped(date), date);
            grouped = false;
        }
        m_lastDate = date;
    }
    openBlock(Block::Utterance, speaker, true);
    m_speaker = speaker;
    char digits[24];
    const auto id = std::to_chars(digits, digits + sizeof digits, ++m_utterance);
    if (stamped)
        m_stats.add(speaker, m_utterance, date, time);
    const QByteArrayView number(digits, id.ptr - digits);
    if (grouped)
        pagebytes::put(*m_out, " g");
    pagebytes::putAll(*m_out, "\" id=\"u", number, "\"><a href=\"#u", number);
    if (sourceLine > 0) { // the common case, kept cheap: a log of millions of lines
        const auto end = std::to_chars(digits, digits + sizeof digits, sourceLine).ptr;
        pagebytes::putAll(*m_out, "\" title=\"", LineTitleBefore,
                          QByteArrayView(digits, end - digits), LineTitleAfter);
    } else if (!record.isEmpty()) {
        m_out->append("\" title=\"");
        appendUtf8(htmlEscaped(placeTitle(0, record)), *m_out);
    }
    pagebytes::put(*m_out, nameMarkup(speaker));
    if (!to.isEmpty() && !grouped) {
        m_out->append("<span class=\"to\">→ ");
        appendUtf8(markupText(to), *m_out);
        m_out->append("</span>");
    }
    if (stamped && !time.isEmpty()) {
        m_restatedLine = m_line + 1;
        m_restated = restated;
        pagebytes::put(*m_out, "<time>");
        appendTime(time, *m_out);
        pagebytes::put(*m_out, "</time>");
    }
    pagebytes::put(*m_out, Separator);
    const QStringView rest = QStringView(line).sliced(prefixLength);
    if (!rest.trimmed().isEmpty())
        appendText(rest);
}

void ModernBody::textLine(QStringView html, Block kind, bool linked)
{
    if (kind == Block::Utterance && m_block != Block::Utterance) {
        if (m_speaker < 0) {
            kind = Block::Plain; // before the first speaker: nobody said it
        } else {
            // Lines after a notice still belong to the speaker before it.
            openBlock(Block::Utterance, m_speaker);
            pagebytes::put(*m_out, " more\">");
        }
    }
    if (kind != m_block)
        openBlock(kind, -1);
    appendText(html, linked);
}

QStringView ModernBody::unstamped(const QString &line) const
{
    QStringView text = line;
    if (m_line == m_restatedLine && m_restated > 0 && line.size() >= m_restated
        && line.at(m_restated - 1) == u' ')
        text = text.sliced(m_restated);
    return text;
}

void ModernBody::messageLine(const QString &line, bool placeholder)
{
    const QStringView text = unstamped(line);
    if (placeholder) // a sticker, a photo, a call: the app's words, not the sender's
        textLine(QString(QStringLiteral("<span class=\"ph\">") % text % QStringLiteral("</span>")),
                 Block::Utterance);
    else
        textLine(text, Block::Utterance);
}

void ModernBody::daySeparator(QStringView html, const QString &date)
{
    closeBlock();
    openSection();
    ++m_sectionBlocks;
    if (!m_codes.isEmpty())
        pagebytes::put(m_codes, ' ');
    m_codes += 'd';
    m_out->append("<h2 class=\"day\"");
    // The calendar's links land here; a day the log comes back to keeps its first heading's.
    const QDate day = ChatStats::dateOf(date);
    if (day.isValid() && !m_anchoredDays.contains(day.toJulianDay())) {
        m_anchoredDays.insert(day.toJulianDay());
        m_out->append(" id=\"");
        appendUtf8(ChatStats::dayAnchor(day), *m_out);
        m_out->append("\"");
    }
    m_out->append(">");
    appendUtf8(html, *m_out);
    m_out->append("</h2>").append(Separator);
}

LineRole ModernBody::write(const QString &line, LineRole role, QByteArray &out, QStringView ref,
                           qint64 sourceLine)
{
    m_out = &out;
    ++m_sectionLines;
    const LineRole sorted = role == LineRole::Unknown ? m_sorter.sort(line) : role;
    switch (sorted) {
    case LineRole::Header:
        headerLine(line, role, ref, sourceLine);
        break;
    case LineRole::Message:
        messageLine(line, false);
        break;
    case LineRole::Placeholder:
        messageLine(line, true);
        break;
    case LineRole::Reply:
    case LineRole::Attachment:
    case LineRole::Reactions:
    case LineRole::Edited:
        shortLine(line, role, ref);
        break;
    case LineRole::Notice:
        textLine(line, Block::Notice);
        break;
    case LineRole::Date: {
        // The log's own day line, as it writes it; the frame before it carries its date.
        m_dayLines = true;
        QString time;
        m_stamps.at(m_line - 1, &m_lastDate, &time);
        daySeparator(line, m_lastDate);
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
    return sorted;
}

void ModernBody::finish(QByteArray &out)
{
    m_out = &out;
    closeBlock();
    if (m_sectionOpen)
        closeSection();
    if (m_chapterSections > 0)
        out.append("</div>\n");
    m_chapterSections = 0;
    m_out = nullptr;
}
