#pragma once

#include <QStringView>
#include <optional>

// Reading the digits and words of dates and times written in a chat export, piece by piece:
// each call takes what it reads off the front of `text`.
namespace scan {

inline bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Reads `min` to `max` ASCII digits at the start of `text`.
inline std::optional<int> number(QStringView &text, int min, int max)
{
    int value = 0, digits = 0;
    while (digits < text.size() && digits < max && isDigit(text[digits])) {
        value = value * 10 + (text[digits].unicode() - u'0');
        ++digits;
    }
    if (digits < min)
        return std::nullopt;
    text = text.sliced(digits);
    return value;
}

inline bool take(QStringView &text, QChar c)
{
    if (text.isEmpty() || text.front() != c)
        return false;
    text = text.sliced(1);
    return true;
}

inline bool take(QStringView &text, QStringView word, Qt::CaseSensitivity cs = Qt::CaseSensitive)
{
    if (!text.startsWith(word, cs))
        return false;
    text = text.sliced(word.size());
    return true;
}

} // namespace scan
