#pragma once

#include <QList>
#include <QString>
#include <QStringMatcher>
#include <QStringView>

// Wildcard patterns as the classic Like operator reads them: "*" any run of characters (also
// none), "?" one character, "#" one ASCII digit, "[abc]" / "[a-z]" one character of the list,
// "[!abc]" one character outside it; everything else matches itself, letter case significant.
// A pattern with an unclosed "[" (or a reversed range such as "[z-a]") matches nothing.
//
// Matching never backtracks exponentially: the worst case is O(text length x pattern length).

class WildcardPattern
{
public:
    WildcardPattern() = default; // the empty pattern: matches only the empty text
    explicit WildcardPattern(QStringView pattern);

    bool matches(QStringView text) const;
    bool isValid() const { return m_valid; }

    // The smallest end such that a piece of text ending there matches the pattern (the text's
    // first part up to it matches "*" + pattern); -1 when there is none.
    qsizetype firstMatchEnd(QStringView text) const;
    // The largest start such that the text from there on matches the pattern; -1 when none.
    // Both are O(text length x pattern length).
    qsizetype lastMatchStart(QStringView text) const;

private:
    enum class Kind { Char, AnyChar, Digit, Set, Star };
    struct Token
    {
        Kind kind;
        char16_t ch = 0; // Kind::Char
        int set = -1; // Kind::Set: index into m_sets
    };
    struct CharSet
    {
        bool negated = false;
        QList<std::pair<char16_t, char16_t>> ranges; // inclusive
        bool contains(char16_t c) const;
    };
    // Patterns made of one literal with stars only at its ends are answered by plain string
    // searches: the header test runs "*" + headerText + "*" on every line of a log.
    enum class Shape { General, Exact, Prefix, Suffix, Contains, Everything };

    bool tokenMatches(const Token &t, char16_t c) const;
    bool matchGeneral(QStringView text) const;

    QList<Token> m_tokens;
    QList<CharSet> m_sets;
    bool m_valid = true;
    Shape m_shape = Shape::Exact;
    QString m_literal;
    QStringMatcher m_matcher;
};

// One-off match; callers that test many texts against one pattern keep a WildcardPattern.
bool wildcardMatch(QStringView text, QStringView pattern);
