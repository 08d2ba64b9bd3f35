#include "engine/read/formats/lineexport/lineexportwords.h"

#include <initializer_list>

namespace {

bool startsWithAny(QStringView text, std::initializer_list<QStringView> words)
{
    for (QStringView word : words) {
        if (text.startsWith(word))
            return true;
    }
    return false;
}

bool endsWithAny(QStringView text, std::initializer_list<QStringView> words)
{
    for (QStringView word : words) {
        if (text.endsWith(word))
            return true;
    }
    return false;
}

bool equalsAny(QStringView text, std::initializer_list<QStringView> words)
{
    for (QStringView word : words) {
        if (text == word)
            return true;
    }
    return false;
}

QStringView stripped(QStringView text, QStringView prefix, QStringView suffix)
{
    if (text.size() > prefix.size() + suffix.size() && text.startsWith(prefix)
        && text.endsWith(suffix))
        return text.sliced(prefix.size(), text.size() - prefix.size() - suffix.size());
    return QStringView();
}

// Blanks at both ends cut off, as the app's words are compared (ASCII and ideographic blanks;
// cheaper than a full Unicode trim, which every message would pay for).
QStringView blanksCut(QStringView text)
{
    const auto blank = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\u3000';
    };
    while (!text.isEmpty() && blank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && blank(text.back()))
        text.chop(1);
    return text;
}

// Every event the app writes ends in a full stop or in a verb.
bool endsAsEvent(QChar last)
{
    switch (last.unicode()) {
    case u'.':
    case u'。':
    case u'息':
    case u'た':
        return true;
    default:
        return false;
    }
}

} // namespace

bool isLineExportTitle(QStringView firstLine)
{
    return firstLine.startsWith(u"[LINE] ") || firstLine.startsWith(u"Chat history in \"")
        || firstLine.startsWith(u"Chat history with ");
}

QString chatName(QStringView title)
{
    if (title.startsWith(u"[LINE] "))
        title = title.sliced(7);
    title = title.trimmed();
    // Prefix and suffix around the name, by language and by phone or desktop.
    static const std::initializer_list<std::pair<QStringView, QStringView>> Forms = {
        {u"Chat history with ", u""}, {u"Chat history in \"", u"\""},
        {u"Chat history in ", u""},   {u"Chat in ", u""},
        {u"", u"とのトーク履歴"},     {u"", u"のトーク履歴"},
        {u"", u"とのトーク"},         {u"與", u"的聊天記錄"},
        {u"与", u"的聊天记录"},       {u"", u"的聊天記錄"},
        {u"", u"的聊天记录"},         {u"แชทกับ ", u""},
        {u"", u"과의 대화"},          {u"", u"와의 대화"},
        {u"Chat mit ", u""},          {u"Riwayat chat dengan ", u""},
    };
    for (const auto &[prefix, suffix] : Forms) {
        const QStringView name = stripped(title, prefix, suffix);
        if (!name.trimmed().isEmpty())
            return name.trimmed().toString();
    }
    return title.toString();
}

bool isSavedOnLine(QStringView line)
{
    // A label, a colon (ASCII or full-width), then a date.
    qsizetype colon = -1;
    for (qsizetype i = 0; i < line.size() && i < 24; ++i) {
        if (line[i] == u':' || line[i] == u'：') {
            colon = i;
            break;
        }
    }
    if (colon < 2)
        return false;
    int digits = 0;
    for (const QChar c : line.sliced(colon + 1))
        digits += c >= u'0' && c <= u'9';
    return digits >= 6;
}

bool isEventText(QStringView text)
{
    text = blanksCut(text);
    // Every event the app writes ends in a full stop or a verb, or starts with a bracket.
    if (text.isEmpty() || (text.front() != u'[' && !endsAsEvent(text.back())))
        return false;
    return startsWithAny(text, {u"[記事本] ", u"[ノート] ", u"[Note] "})
        || endsWithAny(text,
                       {u" added a note.", u" deleted a note.", u"'s post.", u"已新增新的記事本。",
                        u"がノートに投稿しました。", u"がノートを作成しました。"})
        || equalsAny(text,
                     {u"Group voice call started.", u"Group video call started.",
                      u"Group call started.", u"Group call ended.", u"Group voice call ended.",
                      u"Group video call ended.", u"グループ通話が開始されました。",
                      u"グループ通話が終了しました。", u"群組語音通話已開始。",
                      u"群組通話已結束。"})
        || isUnsendText(text);
}

bool isUnsendText(QStringView text)
{
    text = blanksCut(text);
    if (text.isEmpty() || !endsAsEvent(text.back()))
        return false;
    return endsWithAny(text,
                       {u"unsent a message.", u"已收回訊息", u"已收回訊息。", u"撤回了一条消息",
                        u"メッセージの送信を取り消しました", u"님이 메시지를 취소했습니다."});
}

bool isPlaceholder(QStringView text)
{
    text = blanksCut(text);
    // Each starts with a bracket, a telephone, or the first letter of one of a few words.
    if (text.isEmpty())
        return false;
    switch (text.front().unicode()) {
    case u'[':
    case u'☎':
    case u'圖':
    case u'貼':
    case u'影':
    case u'S':
    case u'P':
    case u'C':
    case u'M':
    case u'ス':
    case u'写':
    case u'動':
        break;
    default:
        return false;
    }
    if (text.startsWith(u"☎"))
        return true; // a call: its length, or that it was missed or canceled
    if (text.startsWith(u'[') && text.endsWith(u']') && text.size() <= 16) {
        static const std::initializer_list<QStringView> Bracketed = {
            u"[スタンプ]", u"[写真]",          u"[動画]",     u"[ファイル]", u"[ボイスメッセージ]",
            u"[位置情報]", u"[連絡先]",        u"[Sticker]",  u"[Photo]",    u"[Video]",
            u"[File]",     u"[Voice message]", u"[Location]", u"[Contact]",  u"[照片]",
            u"[貼圖]",     u"[影片]",          u"[檔案]",     u"[語音訊息]", u"[位置資訊]",
            u"[貼紙]",     u"[스티커]",        u"[사진]",     u"[동영상]",   u"[파일]",
            u"[Stiker]",   u"[Foto]",          u"[รูป]",       u"[สติกเกอร์]"};
        return equalsAny(text, Bracketed);
    }
    return startsWithAny(text, {u"[アルバム] ", u"[Album] ", u"[相簿] "})
        || equalsAny(text,
                     {u"圖片", u"貼圖", u"影片", u"Stickers", u"Photos", u"Canceled",
                      u"Missed call", u"スタンプ", u"写真", u"動画"});
}
