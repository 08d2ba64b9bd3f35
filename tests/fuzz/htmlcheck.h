#pragma once

// An independent reading of HTML text the way a browser's tokenizer starts a tag, for checking
// what the page writer lets through. Every "<" that a browser would take as the start of a
// tag, an end tag, a comment, a doctype or a processing instruction must be one of the allowed
// tags, written completely on its line; the attributes it carries must be allowed for it.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

namespace htmlcheck {

struct Tag
{
    QString name; // ASCII letters lower-cased, as the browser stores it
    bool end = false;
    QStringList attributes; // names, lower-cased
};

// True when `allowed` accepts every tag of `text`; a "<" that opens something other than a
// complete tag on its line ("<!", "<?", an unterminated tag) is refused. `where`, when given,
// gets the offset of the first refused "<".
bool onlyAllowedTags(QStringView text, const std::function<bool(const Tag &)> &allowed,
                     qsizetype *where = nullptr);

// The chat markup the page keeps: b, i, u, s, strike, em, strong, big, small, sub, sup, tt, br
// and font with color, size and face.
bool isChatTag(const Tag &tag);

} // namespace htmlcheck

inline bool htmlcheck::isChatTag(const Tag &tag)
{
    static const QStringList plain
        = {QStringLiteral("b"),      QStringLiteral("i"),      QStringLiteral("u"),
           QStringLiteral("s"),      QStringLiteral("strike"), QStringLiteral("em"),
           QStringLiteral("strong"), QStringLiteral("big"),    QStringLiteral("small"),
           QStringLiteral("sub"),    QStringLiteral("sup"),    QStringLiteral("tt"),
           QStringLiteral("br")};
    if (tag.name == u"font") {
        if (tag.end)
            return true;
        for (const QString &a : tag.attributes) {
            if (a != u"color" && a != u"size" && a != u"face")
                return false;
        }
        return true;
    }
    return plain.contains(tag.name) && (tag.end || tag.attributes.isEmpty());
}

inline bool htmlcheck::onlyAllowedTags(QStringView text,
                                       const std::function<bool(const Tag &)> &allowed,
                                       qsizetype *where)
{
    const auto letter = [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    const auto space = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\f' || c == u'\n' || c == u'\r';
    };
    const auto lower = [](QStringView s) {
        QString out = s.toString();
        for (QChar &c : out) {
            if (c >= u'A' && c <= u'Z')
                c = QChar(c.unicode() + 32);
        }
        return out;
    };
    const auto refuse = [&](qsizetype at) {
        if (where)
            *where = at;
        return false;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] != u'<')
            continue;
        const qsizetype start = i;
        qsizetype k = i + 1;
        if (k < n && (text[k] == u'!' || text[k] == u'?'))
            return refuse(start);
        Tag tag;
        if (k < n && text[k] == u'/') {
            tag.end = true;
            ++k;
            if (k < n && !letter(text[k]))
                return refuse(start); // "</>" or a bogus comment
        }
        if (k >= n || !letter(text[k])) {
            if (tag.end)
                return refuse(start);
            continue; // a "<" that is only text
        }
        // From here on the browser is inside a tag, up to its ">".
        const qsizetype nameStart = k;
        while (k < n && !space(text[k]) && text[k] != u'/' && text[k] != u'>')
            ++k;
        tag.name = lower(text.sliced(nameStart, k - nameStart));
        bool closed = false;
        while (k < n && !closed) {
            const QChar c = text[k];
            if (c == u'\r' || c == u'\n')
                return refuse(start); // the tag would swallow the page's own markup
            if (space(c) || c == u'/') {
                ++k;
                continue;
            }
            if (c == u'>') {
                closed = true;
                break;
            }
            const qsizetype a = k++;
            while (k < n && !space(text[k]) && text[k] != u'/' && text[k] != u'>'
                   && text[k] != u'=')
                ++k;
            tag.attributes.append(lower(text.sliced(a, k - a)));
            while (k < n && (text[k] == u' ' || text[k] == u'\t' || text[k] == u'\f'))
                ++k;
            if (k < n && text[k] == u'=') {
                ++k;
                while (k < n && (text[k] == u' ' || text[k] == u'\t' || text[k] == u'\f'))
                    ++k;
                if (k < n && (text[k] == u'"' || text[k] == u'\'')) {
                    const QChar q = text[k++];
                    while (k < n && text[k] != q) {
                        if (text[k] == u'\r' || text[k] == u'\n')
                            return refuse(start);
                        ++k;
                    }
                    if (k >= n)
                        return refuse(start);
                    ++k;
                } else {
                    while (k < n && !space(text[k]) && text[k] != u'>')
                        ++k;
                }
            }
        }
        if (!closed || !allowed(tag))
            return refuse(start);
        i = k;
    }
    return true;
}
