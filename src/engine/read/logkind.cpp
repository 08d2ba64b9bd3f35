#include "engine/read/logkind.h"

#include <QRegularExpression>
#include <QString>

namespace {

bool looksLikeWhatsApp(QStringView line)
{
    // "12/31/20, 9:03 PM - Name: text", "[31/12/2020, 21:03:07] Name: text"
    static const QRegularExpression form(
        QStringLiteral("^\\[?\\d{1,4}[/.\\-]\\d{1,2}[/.\\-]\\d{1,4},? \\d{1,2}:\\d{2}(:\\d{2})?( "
                       "?[APap]\\.?[Mm]\\.?)?"
                       "\\]?( -)? [^:]{1,80}: "));
    return form.match(line.toString()).hasMatch();
}

bool looksLikeKakaoTalk(QStringView line)
{
    return (line.startsWith(u"---------------") && line.contains(u"년"))
        || line.endsWith(u"님과 카카오톡 대화") || line.contains(u"KakaoTalk Chats with");
}

} // namespace

ForeignKind foreignKind(QStringView head)
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
    if (text.startsWith(u'{')
        || (text.startsWith(u'[') && text.sliced(1).trimmed().startsWith(u'{')))
        return ForeignKind::Json;
    if (text.startsWith(u"<!DOCTYPE", Qt::CaseInsensitive)
        || text.startsWith(u"<html", Qt::CaseInsensitive))
        return ForeignKind::Html;
    const qsizetype newline = text.indexOf(u'\n');
    const QStringView first = newline < 0 ? text : text.first(newline);
    if (first.startsWith(u"[LINE]") || first.contains(u"トーク履歴") || first.contains(u"聊天記錄")
        || first.startsWith(u"Chat history"))
        return ForeignKind::LineExportLike;
    int lines = 0;
    for (const QStringView line : text.split(u'\n')) {
        if (++lines > 20)
            break;
        const QStringView l = line.trimmed();
        if (looksLikeWhatsApp(l))
            return ForeignKind::WhatsApp;
        if (looksLikeKakaoTalk(l))
            return ForeignKind::KakaoTalk;
    }
    return ForeignKind::None;
}
