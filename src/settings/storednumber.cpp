#include "storednumber.h"

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

std::optional<qint64> readStoredNumber(QStringView text, qint64 min, qint64 max)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);

    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Far beyond any stored field, and far from overflowing while the digits are added up.
    constexpr qint64 Limit = qint64(1) << 40;
    qint64 magnitude = 0;
    bool anyDigit = false, tooLarge = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        anyDigit = true;
        if (!tooLarge) {
            magnitude = magnitude * 10 + (text[i].unicode() - u'0');
            tooLarge = magnitude > Limit;
        }
    }
    int firstFraction = -1; // the first digit after the point
    bool restNonZero = false; // any non-zero digit after it
    if (i < text.size() && text[i] == u'.') {
        for (++i; i < text.size() && isDigit(text[i]); ++i) {
            anyDigit = true;
            const int d = text[i].unicode() - u'0';
            if (firstFraction < 0)
                firstFraction = d;
            else if (d != 0)
                restNonZero = true;
        }
    }
    if (!anyDigit || i != text.size() || tooLarge)
        return std::nullopt;

    if (firstFraction > 5 || (firstFraction == 5 && (restNonZero || magnitude % 2 == 1)))
        ++magnitude;
    const qint64 value = negative ? -magnitude : magnitude;
    if (value < min || value > max)
        return std::nullopt;
    return value;
}
