#include "engine/text/wildcard.h"

#include <algorithm>
#include <vector>

namespace {

bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

bool WildcardPattern::CharSet::contains(char16_t c) const
{
    bool in = false;
    for (const auto &r : ranges) {
        if (c >= r.first && c <= r.second) {
            in = true;
            break;
        }
    }
    return in != negated;
}

WildcardPattern::WildcardPattern(QStringView pattern)
{
    const qsizetype n = pattern.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = pattern[i].unicode();
        if (c == u'*') {
            // Runs of stars mean the same as one star.
            if (m_tokens.isEmpty() || m_tokens.last().kind != Kind::Star)
                m_tokens.append({Kind::Star});
        } else if (c == u'?') {
            m_tokens.append({Kind::AnyChar});
        } else if (c == u'#') {
            m_tokens.append({Kind::Digit});
        } else if (c == u'[') {
            const qsizetype close = pattern.indexOf(u']', i + 1);
            if (close < 0) {
                m_valid = false;
                break;
            }
            QStringView body = pattern.sliced(i + 1, close - i - 1);
            i = close;
            if (body.isEmpty())
                continue; // "[]" stands for nothing at all
            CharSet set;
            if (body.front() == u'!') {
                set.negated = true;
                body = body.sliced(1);
            }
            for (qsizetype k = 0; k < body.size(); ++k) {
                const char16_t lo = body[k].unicode();
                if (k + 2 < body.size() && body[k + 1] == u'-') {
                    const char16_t hi = body[k + 2].unicode();
                    if (hi < lo)
                        m_valid = false;
                    set.ranges.append({lo, hi});
                    k += 2;
                } else {
                    set.ranges.append({lo, lo});
                }
            }
            if (!set.negated && set.ranges.size() == 1
                && set.ranges[0].first == set.ranges[0].second) {
                m_tokens.append({Kind::Char, set.ranges[0].first}); // "[#]" is a plain "#"
            } else {
                m_tokens.append({Kind::Set, 0, int(m_sets.size())});
                m_sets.append(set);
            }
        } else {
            m_tokens.append({Kind::Char, c});
        }
    }
    if (!m_valid) {
        m_tokens.clear();
        m_sets.clear();
        return;
    }

    // Find the literal shapes: [*] chars [*].
    const qsizetype count = m_tokens.size();
    const bool leadingStar = count > 0 && m_tokens.first().kind == Kind::Star;
    const bool trailingStar = count > 0 && m_tokens.last().kind == Kind::Star;
    const qsizetype from = leadingStar ? 1 : 0;
    const qsizetype to = trailingStar && count > from ? count - 1 : count;
    bool literal = true;
    for (qsizetype k = from; k < to; ++k) {
        if (m_tokens[k].kind != Kind::Char) {
            literal = false;
            break;
        }
        m_literal.append(QChar(m_tokens[k].ch));
    }
    if (!literal) {
        m_shape = Shape::General;
        m_literal.clear();
    } else if (leadingStar && m_literal.isEmpty()) {
        m_shape = Shape::Everything;
    } else if (leadingStar && trailingStar) {
        m_shape = Shape::Contains;
        m_matcher.setPattern(m_literal);
        m_matcher.setCaseSensitivity(Qt::CaseSensitive);
    } else if (leadingStar) {
        m_shape = Shape::Suffix;
    } else if (trailingStar) {
        m_shape = Shape::Prefix;
    } else {
        m_shape = Shape::Exact;
    }
}

bool WildcardPattern::tokenMatches(const Token &t, char16_t c) const
{
    switch (t.kind) {
    case Kind::Char:
        return c == t.ch;
    case Kind::AnyChar:
        return true;
    case Kind::Digit:
        return isAsciiDigit(c);
    case Kind::Set:
        return m_sets[t.set].contains(c);
    case Kind::Star:
        break;
    }
    return false;
}

// Every token but the star consumes exactly one character, so going back to the last star
// and letting it swallow one more character is enough: no earlier star ever needs revisiting.
bool WildcardPattern::matchGeneral(QStringView text) const
{
    const qsizetype n = text.size();
    const qsizetype m = m_tokens.size();
    qsizetype ti = 0, pi = 0;
    qsizetype starPi = -1, starTi = 0;
    while (ti < n) {
        if (pi < m && m_tokens[pi].kind == Kind::Star) {
            starPi = pi++;
            starTi = ti;
        } else if (pi < m && tokenMatches(m_tokens[pi], text[ti].unicode())) {
            ++pi;
            ++ti;
        } else if (starPi >= 0) {
            pi = starPi + 1;
            ti = ++starTi;
        } else {
            return false;
        }
    }
    while (pi < m && m_tokens[pi].kind == Kind::Star)
        ++pi;
    return pi == m;
}

bool WildcardPattern::matches(QStringView text) const
{
    if (!m_valid)
        return false;
    switch (m_shape) {
    case Shape::Everything:
        return true;
    case Shape::Exact:
        return text == QStringView(m_literal);
    case Shape::Prefix:
        return text.startsWith(m_literal);
    case Shape::Suffix:
        return text.endsWith(m_literal);
    case Shape::Contains:
        return m_matcher.indexIn(text) >= 0;
    case Shape::General:
        break;
    }
    return matchGeneral(text);
}

// Both searches follow every way through the pattern at once: state i means "the first i
// tokens are matched", and a star may also match nothing.
qsizetype WildcardPattern::firstMatchEnd(QStringView text) const
{
    if (!m_valid)
        return -1;
    const qsizetype m = m_tokens.size();
    std::vector<char> now(m + 1, 0), next(m + 1, 0);
    const auto close = [&](std::vector<char> &states) {
        for (qsizetype i = 0; i < m; ++i) {
            if (states[i] && m_tokens[i].kind == Kind::Star)
                states[i + 1] = 1;
        }
    };
    now[0] = 1;
    close(now);
    if (now[m])
        return 0;
    for (qsizetype ti = 0; ti < text.size(); ++ti) {
        const char16_t c = text[ti].unicode();
        std::fill(next.begin(), next.end(), 0);
        next[0] = 1; // a match may start at every position
        for (qsizetype i = 0; i < m; ++i) {
            if (!now[i])
                continue;
            if (m_tokens[i].kind == Kind::Star)
                next[i] = 1;
            else if (tokenMatches(m_tokens[i], c))
                next[i + 1] = 1;
        }
        close(next);
        if (next[m])
            return ti + 1;
        now.swap(next);
    }
    return -1;
}

qsizetype WildcardPattern::lastMatchStart(QStringView text) const
{
    if (!m_valid)
        return -1;
    // The same from the text's end backwards, with the tokens taken last to first.
    const qsizetype m = m_tokens.size();
    const auto token = [&](qsizetype j) -> const Token & {
        return m_tokens[m - 1 - j];
    };
    std::vector<char> now(m + 1, 0), next(m + 1, 0);
    const auto close = [&](std::vector<char> &states) {
        for (qsizetype j = 0; j < m; ++j) {
            if (states[j] && token(j).kind == Kind::Star)
                states[j + 1] = 1;
        }
    };
    now[0] = 1;
    close(now);
    if (now[m])
        return text.size();
    for (qsizetype ti = text.size() - 1; ti >= 0; --ti) {
        const char16_t c = text[ti].unicode();
        std::fill(next.begin(), next.end(), 0);
        bool any = false;
        for (qsizetype j = 0; j < m; ++j) {
            if (!now[j])
                continue;
            if (token(j).kind == Kind::Star) {
                next[j] = any = true;
            } else if (tokenMatches(token(j), c)) {
                next[j + 1] = any = true;
            }
        }
        if (!any)
            return -1;
        close(next);
        if (next[m])
            return ti;
        now.swap(next);
    }
    return -1;
}

bool wildcardMatch(QStringView text, QStringView pattern)
{
    return WildcardPattern(pattern).matches(text);
}
