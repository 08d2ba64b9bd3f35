#include "engine/text/markupfilter.h"

#include <array>

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
        || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// Inside a tag, the whitespace the HTML tokenizer skips. Line breaks end the candidate: a tag
// must close on its own line, since the page puts its own markup between the lines.
bool isTagSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\f');
}

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool isAllowedElement(QStringView name)
{
    static const std::array<QLatin1StringView, 14> Allowed
        = {QLatin1StringView("b"),      QLatin1StringView("i"),      QLatin1StringView("u"),
           QLatin1StringView("s"),      QLatin1StringView("strike"), QLatin1StringView("em"),
           QLatin1StringView("strong"), QLatin1StringView("big"),    QLatin1StringView("small"),
           QLatin1StringView("sub"),    QLatin1StringView("sup"),    QLatin1StringView("tt"),
           QLatin1StringView("br"),     QLatin1StringView("font")};
    for (const auto &allowed : Allowed) {
        if (name.compare(allowed, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isAllowedFontAttribute(QStringView name)
{
    return name.compare(QLatin1StringView("color"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1StringView("size"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1StringView("face"), Qt::CaseInsensitive) == 0;
}

// Reads the tag that starts at text[start] == '<' the way a browser tokenizes it. Returns the
// index just past its '>' when it is an allowed tag, or -1 when the '<' must be escaped.
// Each call reads at most to the end of the line; a '<' inside the tag ends the candidate too
// (it is then escaped itself), so the filter as a whole stays linear.
qsizetype allowedTagEnd(QStringView text, qsizetype start)
{
    const qsizetype n = text.size();
    qsizetype i = start + 1;
    const bool endTag = i < n && text[i] == QLatin1Char('/');
    if (endTag)
        ++i;
    const qsizetype nameStart = i;
    while (i < n && isAsciiLetter(text[i]))
        ++i;
    if (i == nameStart)
        return -1;
    const QStringView element = text.sliced(nameStart, i - nameStart);
    if (!isAllowedElement(element))
        return -1;
    const bool isFont = element.compare(QLatin1StringView("font"), Qt::CaseInsensitive) == 0;
    if (i < n && !isTagSpace(text[i]) && text[i] != QLatin1Char('/') && text[i] != QLatin1Char('>'))
        return -1; // a longer name such as "bdi" or "bx"

    while (i < n) {
        const QChar c = text[i];
        if (isLineBreak(c) || c == QLatin1Char('<'))
            return -1;
        if (isTagSpace(c) || c == QLatin1Char('/')) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('>'))
            return i + 1;

        // An attribute: its name, then optionally "=" and a value.
        const qsizetype attrStart = i;
        ++i; // a browser takes even a leading '=' as part of the name
        while (i < n && !isTagSpace(text[i]) && !isLineBreak(text[i]) && text[i] != QLatin1Char('/')
               && text[i] != QLatin1Char('>') && text[i] != QLatin1Char('='))
            ++i;
        const QStringView attribute = text.sliced(attrStart, i - attrStart);
        if (endTag || !isFont || !isAllowedFontAttribute(attribute))
            return -1;
        while (i < n && isTagSpace(text[i]))
            ++i;
        if (i >= n || text[i] != QLatin1Char('='))
            continue;
        ++i;
        while (i < n && isTagSpace(text[i]))
            ++i;
        if (i >= n)
            return -1;
        const QChar quote = text[i];
        if (quote == QLatin1Char('"') || quote == QLatin1Char('\'')) {
            ++i;
            // A value holding "<" or ">" is refused: whatever reads the filtered text later
            // (the modern page finds addresses between the tags) may take the first ">" for the
            // end of the tag.
            while (i < n && text[i] != quote) {
                if (isLineBreak(text[i]) || text[i] == QLatin1Char('<')
                    || text[i] == QLatin1Char('>'))
                    return -1;
                ++i;
            }
            if (i >= n)
                return -1;
            ++i; // past the closing quote
        } else {
            while (i < n && !isTagSpace(text[i]) && text[i] != QLatin1Char('>')) {
                if (isLineBreak(text[i]) || text[i] == QLatin1Char('<'))
                    return -1;
                ++i;
            }
        }
    }
    return -1;
}

} // namespace

QString filterChatMarkup(QStringView text)
{
    QString out;
    out.reserve(text.size() + 16);
    qsizetype copied = 0;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] != QLatin1Char('<')) {
            ++i;
            continue;
        }
        const qsizetype end = allowedTagEnd(text, i);
        if (end > 0) {
            i = end;
            continue;
        }
        out += text.sliced(copied, i - copied);
        out += QLatin1String("&lt;");
        ++i;
        copied = i;
    }
    if (copied == 0)
        return text.toString();
    out += text.sliced(copied);
    return out;
}

qsizetype chatTagEnd(QStringView filtered, qsizetype start)
{
    QChar quote;
    for (qsizetype i = start + 1; i < filtered.size(); ++i) {
        const QChar c = filtered[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            // Only a value opens a quote: it follows "=" and blanks.
            qsizetype k = i - 1;
            while (k > start && isTagSpace(filtered[k]))
                --k;
            if (filtered[k] == u'=')
                quote = c;
        } else if (c == u'>') {
            return i + 1;
        }
    }
    return filtered.size();
}
