#include "engine/read/logkind.h"

#include "engine/read/formats/formats.h"

ForeignKind foreignKind(QStringView head, FormatId *lookalike)
{
    const QStringView text = head.trimmed();
    if (text.isEmpty())
        return ForeignKind::Empty;
    // Control characters, more than one in twenty: no text. (Bytes that do not decode are
    // left out: a text in another encoding has many.)
    const QStringView start = head.first(qMin<qsizetype>(head.size(), 4096));
    qsizetype control = 0;
    for (const QChar c : start) {
        const char16_t u = c.unicode();
        control += u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f';
    }
    if (control * 20 > start.size())
        return ForeignKind::NotText;
    const ChatFormat *format = formats::lookalike(text);
    if (!format)
        return ForeignKind::None;
    if (lookalike)
        *lookalike = format->id();
    return ForeignKind::LooksLike;
}
