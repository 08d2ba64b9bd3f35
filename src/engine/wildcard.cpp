#include "wildcard.h"

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

bool wildcardMatch(QStringView text, QStringView pattern)
{
    return WildcardPattern(pattern).matches(text);
}
