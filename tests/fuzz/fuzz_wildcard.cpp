// Wildcard matching against a plain backtracking matcher, on short patterns and texts drawn
// from a small alphabet so that the special characters meet each other often.
//
// Input: pattern bytes, 0xFF, text bytes; each byte picks one character of the alphabet.
#include "engine/text/wildcard.h"

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

constexpr char16_t Alphabet[] = {u'a', u'b', u'A', u'z', u'0', u'7',  u'*',  u'?',  u'#',
                                 u'[', u']', u'!', u'-', u' ', u'あ', u'ア', u'\t', u'^'};
constexpr int AlphabetSize = int(sizeof(Alphabet) / sizeof(Alphabet[0]));

// One element of a pattern as the classic Like operator reads it.
struct Element
{
    enum Kind { Literal, Any, Digit, List, Star, Nothing } kind;
    char16_t ch = 0;
    QString list; // the bracket's body without a leading "!"
    bool negated = false;
};

bool inList(const Element &e, char16_t c)
{
    const QString &b = e.list;
    bool found = false;
    for (qsizetype k = 0; k < b.size(); ++k) {
        if (k + 2 < b.size() && b[k + 1] == u'-') {
            if (c >= b[k].unicode() && c <= b[k + 2].unicode())
                found = true;
            k += 2;
        } else if (b[k] == c) {
            found = true;
        }
    }
    return found != e.negated;
}

// No value when the pattern is malformed (an unclosed "[" or a reversed range).
std::optional<QList<Element>> parse(const QString &p)
{
    QList<Element> out;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const char16_t c = p[i].unicode();
        if (c == u'*') {
            out.append({Element::Star});
        } else if (c == u'?') {
            out.append({Element::Any});
        } else if (c == u'#') {
            out.append({Element::Digit});
        } else if (c == u'[') {
            const qsizetype close = p.indexOf(u']', i + 1);
            if (close < 0)
                return std::nullopt;
            Element e {Element::List};
            e.list = p.mid(i + 1, close - i - 1);
            i = close;
            if (e.list.isEmpty()) {
                out.append({Element::Nothing});
                continue;
            }
            if (e.list.front() == u'!') {
                e.negated = true;
                e.list.remove(0, 1);
            }
            for (qsizetype k = 0; k + 2 < e.list.size(); ++k) {
                if (e.list[k + 1] == u'-') {
                    if (e.list[k + 2] < e.list[k])
                        return std::nullopt;
                    k += 2;
                }
            }
            out.append(e);
        } else {
            out.append({Element::Literal, c});
        }
    }
    return out;
}

// Plain recursion over the pattern, remembering what was already answered so that runs of
// stars stay cheap.
struct Matcher
{
    const QList<Element> &p;
    const QString &t;
    std::vector<signed char> memo = std::vector<signed char>((p.size() + 1) * (t.size() + 1), -1);

    bool match(qsizetype pi, qsizetype ti)
    {
        signed char &known = memo[pi * (t.size() + 1) + ti];
        if (known < 0)
            known = compute(pi, ti) ? 1 : 0;
        return known == 1;
    }

    bool compute(qsizetype pi, qsizetype ti)
    {
        if (pi == p.size())
            return ti == t.size();
        const Element &e = p[pi];
        if (e.kind == Element::Star)
            return match(pi + 1, ti) || (ti < t.size() && match(pi, ti + 1));
        if (e.kind == Element::Nothing)
            return match(pi + 1, ti);
        if (ti == t.size())
            return false;
        const char16_t c = t[ti].unicode();
        bool ok = false;
        switch (e.kind) {
        case Element::Literal:
            ok = c == e.ch;
            break;
        case Element::Any:
            ok = true;
            break;
        case Element::Digit:
            ok = c >= u'0' && c <= u'9';
            break;
        default:
            ok = inList(e, c);
            break;
        }
        return ok && match(pi + 1, ti + 1);
    }
};

bool match(const QList<Element> &p, const QString &t)
{
    return Matcher {p, t}.match(0, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 48)
        return 0; // the reference tries every piece of the text; keep it short
    QString pattern, text;
    bool inText = false;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && !inText) {
            inText = true;
            continue;
        }
        (inText ? text : pattern).append(QChar(Alphabet[data[i] % AlphabetSize]));
    }
    const auto reference = parse(pattern);
    const bool expected = reference && match(*reference, text);
    const WildcardPattern compiled(pattern);
    if (compiled.isValid() != reference.has_value())
        std::abort();
    if (compiled.matches(text) != expected || wildcardMatch(text, pattern) != expected)
        std::abort();

    // Where the shortest match ends, and where the shortest match that reaches the end starts.
    qsizetype firstEnd = -1, lastStart = -1;
    if (reference) {
        for (qsizetype end = 0; end <= text.size() && firstEnd < 0; ++end) {
            for (qsizetype start = 0; start <= end; ++start) {
                if (match(*reference, text.mid(start, end - start))) {
                    firstEnd = end;
                    break;
                }
            }
        }
        for (qsizetype start = text.size(); start >= 0; --start) {
            if (match(*reference, text.mid(start))) {
                lastStart = start;
                break;
            }
        }
    }
    if (compiled.firstMatchEnd(text) != firstEnd || compiled.lastMatchStart(text) != lastStart)
        std::abort();
    return 0;
}
