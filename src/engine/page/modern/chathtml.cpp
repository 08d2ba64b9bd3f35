// Chat markup on the modern page: its tags tracked, its http and https addresses made links.
#include "engine/page/htmltext.h"
#include "engine/page/modern/modernbody.h"
#include "engine/page/pagebytes.h"
#include "engine/text/markupfilter.h"

#include <array>
#include <string_view>

namespace {

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
