#pragma once

#include <QStringView>
#include <limits>
#include <optional>

// The one reading of a number stored as text in the settings file (options, the palette count,
// the rule count, a rule's colour): decimal digits with an optional sign and an optional
// fraction, blanks around it allowed; a fraction goes to the nearest whole number, halves to
// the even one ("2.5" is 2, "3.5" is 4, "2.5000000000000000001" is 3). Nothing when the text is
// no such number (an exponent, hexadecimal, other characters) or the result lies outside
// [min, max]. The digits are read as written, never through floating point.
std::optional<qint64> readStoredNumber(QStringView text, qint64 min, qint64 max);

// The same for a field of type Int: nothing when the number does not fit it.
template<typename Int> std::optional<Int> readStoredNumber(QStringView text)
{
    const auto value = readStoredNumber(text, qint64(std::numeric_limits<Int>::min()),
                                        qint64(std::numeric_limits<Int>::max()));
    return value ? std::optional<Int>(Int(*value)) : std::nullopt;
}
