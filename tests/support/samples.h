#pragma once

#include "codec/cp932.h"
#include "codec/textcodec.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

// Logs built in code in every encoding and line end, encoded without the codec under test
// (code page 932 aside, which has its own tests).
namespace samples {

struct Kind
{
    QString name;
    textcodec::Encoding encoding;
    bool mark;
};

inline QList<Kind> kinds()
{
    using textcodec::Encoding;
    return {{QStringLiteral("Shift-JIS"), Encoding::ShiftJis, false},
            {QStringLiteral("UTF-8"), Encoding::Utf8, false},
            {QStringLiteral("UTF-8 BOM"), Encoding::Utf8, true},
            {QStringLiteral("UTF-16LE BOM"), Encoding::Utf16LE, true},
            {QStringLiteral("UTF-16BE BOM"), Encoding::Utf16BE, true}};
}

inline QList<std::pair<QString, QString>> lineEnds()
{
    return {{QStringLiteral("CR LF"), QStringLiteral("\r\n")},
            {QStringLiteral("LF"), QStringLiteral("\n")},
            {QStringLiteral("CR"), QStringLiteral("\r")}};
}

inline QByteArray encode(const QString &text, const Kind &kind)
{
    using textcodec::Encoding;
    switch (kind.encoding) {
    case Encoding::ShiftJis:
        return cp932::encode(text);
    case Encoding::Cp949: { // no sample is built in it: only KakaoTalk's twins are
        QByteArray bytes;
        textcodec::encodeAppend(text, kind.encoding, bytes);
        return bytes;
    }
    case Encoding::Utf8:
        return (kind.mark ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        break;
    }
    const bool le = kind.encoding == Encoding::Utf16LE;
    QByteArray bytes = kind.mark ? QByteArray(le ? "\xFF\xFE" : "\xFE\xFF") : QByteArray();
    for (const QChar c : text) {
        const char lo = char(c.unicode() & 0xFF), hi = char(c.unicode() >> 8);
        bytes.append(le ? lo : hi).append(le ? hi : lo);
    }
    return bytes;
}

} // namespace samples
