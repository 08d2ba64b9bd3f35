#include "engine/read/shared/clock.h"

#include "engine/read/shared/scan.h"

using scan::isDigit;
using scan::number;
using scan::take;

namespace {

// The mark of the morning or the afternoon at the start of a time ("午後9:03", "PM 9:03"): 0 for
// the morning, 1 for the afternoon, -1 for none; `text` moves past it.
int takeHalf(QStringView &text)
{
    if (text.isEmpty())
        return -1;
    // The marks of two ideographs or syllables are told by their second: every record of an
    // export from such a phone starts with one, and a comparison of strings costs more.
    const auto second = [&text](char16_t c) {
        if (text.size() < 2 || text[1] != c)
            return false;
        text = text.sliced(2);
        return true;
    };
    switch (text.front().unicode()) {
    case u'午':
        return second(u'前') ? 0 : second(u'後') ? 1 : -1;
    case u'上':
        return second(u'午') ? 0 : -1;
    case u'下':
        return second(u'午') ? 1 : -1;
    case u'오':
        return second(u'전') ? 0 : second(u'후') ? 1 : -1;
    case u'A':
    case u'a':
        return take(text, u"AM", Qt::CaseInsensitive) || take(text, u"a.m.") ? 0 : -1;
    case u'P':
    case u'p':
        return take(text, u"PM", Qt::CaseInsensitive) || take(text, u"p.m.") ? 1 : -1;
    default:
        return -1;
    }
}

// The same mark after the time ("9:03 PM"); `text` loses it.
int chopHalf(QStringView &text)
{
    if (text.isEmpty())
        return -1;
    for (const auto &[word, value] : {std::pair<QStringView, int>(u"AM", 0),
                                      {u"PM", 1},
                                      {u"a.m.", 0},
                                      {u"p.m.", 1},
                                      {u"午前", 0},
                                      {u"午後", 1}}) {
        if (text.endsWith(word, Qt::CaseInsensitive)) {
            text.chop(word.size());
            return value;
        }
    }
    return -1;
}

// The text without blanks at its ends. Most times end in a digit and start with one, or with
// a mark ("午後9:03"): ASCII above the blank, or a character past U+3000 (the last blank Unicode
// has), at both ends needs no look at Unicode's blanks.
QStringView trimmedTime(QStringView text)
{
    const auto plain = [](QChar c) {
        return (c.unicode() > u' ' && c.unicode() < 0x80) || c.unicode() > 0x3000;
    };
    if (!text.isEmpty() && plain(text.front()) && plain(text.back()))
        return text;
    return text.trimmed();
}

} // namespace

std::optional<ClockTime> parseClockTime(QStringView text)
{
    int half = -1; // -1: a 24-hour clock; 0: morning; 1: afternoon
    // "21:03", the common case, has nothing before or after it.
    const bool plain = !text.isEmpty() && isDigit(text.front()) && isDigit(text.back());
    if (!plain) {
        text = trimmedTime(text);
        half = takeHalf(text);
        if (half < 0 && !text.isEmpty() && !isDigit(text.back()))
            half = chopHalf(text);
        text = trimmedTime(text);
    }
    const auto hour = number(text, 1, 2);
    if (!hour || !take(text, u':'))
        return std::nullopt;
    const auto minute = number(text, 2, 2);
    std::optional<int> second;
    if (take(text, u':')) {
        second = number(text, 2, 2);
        if (!second)
            return std::nullopt;
    }
    if (!minute || !text.isEmpty() || *minute > 59 || second.value_or(0) > 59)
        return std::nullopt;
    int h = *hour;
    if (half >= 0) {
        // 12-hour clocks write midnight as 12 AM or 午前0, and noon as 12 PM, 午後0 or 下午12.
        if (h > 12)
            return std::nullopt;
        h = h % 12 + (half == 1 ? 12 : 0);
    } else if (h > 29) {
        return std::nullopt;
    }
    return ClockTime {h, *minute, second.value_or(-1)};
}

bool startsLikeClockTime(QStringView text)
{
    if (!text.isEmpty() && !isDigit(text.front()) && takeHalf(text) >= 0)
        text = trimmedTime(text);
    qsizetype digits = 0;
    while (digits < text.size() && digits < 2 && isDigit(text[digits]))
        ++digits;
    return digits > 0 && digits < text.size() && text[digits] == u':';
}

QString ClockTime::text() const
{
    // Written out by hand: formatting through the C library costs more than a record's reading.
    char16_t shown[8] = {char16_t(u'0' + hour / 10), char16_t(u'0' + hour % 10), u':',
                         char16_t(u'0' + minute / 10), char16_t(u'0' + minute % 10)};
    qsizetype n = 5;
    if (second >= 0) {
        shown[n++] = u':';
        shown[n++] = char16_t(u'0' + second / 10);
        shown[n++] = char16_t(u'0' + second % 10);
    }
    return QString(reinterpret_cast<const QChar *>(shown), n);
}
