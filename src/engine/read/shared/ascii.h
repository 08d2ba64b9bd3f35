#pragma once

#include <QByteArrayView>
#include <QStringView>
#include <array>
#include <optional>

// The short ASCII texts of a JSON export (times, ids), which every message has, read as UTF-16
// into a buffer of the caller's rather than into a string of their own.
using AsciiBuffer = std::array<char16_t, 64>;

// The UTF-8 text as UTF-16 in `buffer`; nothing when it is longer than that or not ASCII.
inline std::optional<QStringView> asciiText(QByteArrayView utf8, AsciiBuffer &buffer)
{
    if (utf8.size() > qsizetype(buffer.size()))
        return std::nullopt;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if (uchar(utf8[i]) >= 0x80)
            return std::nullopt;
        buffer[size_t(i)] = char16_t(utf8[i]);
    }
    return QStringView(buffer.data(), utf8.size());
}
