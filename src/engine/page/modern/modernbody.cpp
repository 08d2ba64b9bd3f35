#include "engine/page/modern/modernbody.h"

#include "engine/page/htmltext.h"
#include "engine/page/modern/modernpage.h"
#include "engine/page/pagebytes.h"
#include "engine/page/provenance.h"
#include "engine/text/markupfilter.h"
#include "engine/text/speakerkeys.h"

#include <algorithm>
#include <charconv>

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

} // namespace

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
