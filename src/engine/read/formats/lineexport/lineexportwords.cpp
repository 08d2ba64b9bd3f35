#include "engine/read/formats/lineexport/lineexportwords.h"

#include <initializer_list>

namespace {

// No placeholder is longer; a longer text is no placeholder without a look at the words.
constexpr qsizetype MaxBracketed = 24;
constexpr qsizetype MaxBare = 24;

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

// Every event the app writes ends in a full stop or in a verb (Thai "แล้ว" too).
bool endsAsEvent(QChar last)
{
    switch (last.unicode()) {
    case u'.':
    case u'。':
    case u'息':
    case u'た':
    case u'ว':
        return true;
    default:
        return false;
    }
}

int digitsIn(QStringView text)
{
    int digits = 0;
    for (const QChar c : text)
        digits += c >= u'0' && c <= u'9';
    return digits;
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
    // clang-format off
    static const std::initializer_list<std::pair<QStringView, QStringView>> Forms = {
        {u"Chat history with ", u""}, {u"Chat history in \"", u"\""},
        {u"Chat history in ", u""},   {u"Chat in ", u""},
        {u"", u"とのトーク履歴"},     {u"", u"のトーク履歴"},
        {u"", u"とのトーク"},         {u"與", u"的聊天記錄"},
        {u"与", u"的聊天记录"},       {u"", u"的聊天記錄"},
        {u"", u"的聊天记录"},         {u"แชทกับ ", u""},
        {u"", u"과의 대화"},          {u"", u"와의 대화"},
        {u"Chat mit ", u""},          {u"Riwayat chat dengan ", u""},
        // Those of the languages the app came to later, a group's before a person's.
        {u"ประวัติการแชทในกลุ่ม \"", u"\""}, {u"ประวัติการแชทในกลุ่ม ", u""},
        {u"ประวัติการแชทกับ ", u""},
        {u"Riwayat obrolan dengan ", u""},
        {u"Lịch sử trò chuyện với nhóm ", u""}, {u"Lịch sử trò chuyện với ", u""},
        {u"Chatverlauf mit ", u""}, {u"Chatverlauf in ", u""},
        {u"Historique des discussions avec ", u""}, {u"Historique de discussion avec ", u""},
        {u"Historique des discussions dans ", u""},
        {u"Historial de chat con ", u""}, {u"Historial del chat con ", u""},
        {u"Historial de chat en ", u""},
        {u"Histórico de conversas com ", u""}, {u"Histórico do chat com ", u""},
        {u"Histórico de conversas em ", u""},
        {u"Cronologia chat con ", u""}, {u"Cronologia della chat con ", u""},
        {u"Cronologia chat in ", u""},
    };
    // clang-format on
    for (const auto &[prefix, suffix] : Forms) {
        const QStringView name = stripped(title, prefix, suffix);
        if (!name.trimmed().isEmpty())
            return name.trimmed().toString();
    }
    return title.toString();
}

bool isSavedOnLine(QStringView line)
{
    // Thai writes its label with no colon ("บันทึกเมื่อ 04/09/2569 07:48").
    static const std::initializer_list<QStringView> BareLabels = {u"บันทึกเมื่อ "};
    for (QStringView label : BareLabels) {
        if (line.startsWith(label))
            return digitsIn(line.sliced(label.size())) >= 6;
    }
    // A label, a colon (ASCII or full-width), then a date.
    qsizetype colon = -1;
    for (qsizetype i = 0; i < line.size() && i < 24; ++i) {
        if (line[i] == u':' || line[i] == u'：') {
            colon = i;
            break;
        }
    }
    return colon >= 2 && digitsIn(line.sliced(colon + 1)) >= 6;
}

bool isEventText(QStringView text)
{
    text = blanksCut(text);
    if (text.isEmpty())
        return false;
    // The app's words by language, a row each.
    // clang-format off
    // A note's text after its mark.
    static const std::initializer_list<QStringView> Notes = {
        u"[ノート] ", u"[Note] ", u"[記事本] ", u"[记事本] ", u"[노트] ", u"[โน้ต] ", u"[Catatan] ",
        u"[Ghi chú] ", u"[Notiz] ", u"[Nota] ",
    };
    // What an event in someone's name ends in.
    static const std::initializer_list<QStringView> Ends = {
        u"がノートに投稿しました。", u"がノートを作成しました。",
        u" added a note.", u" deleted a note.", u"'s post.",
        u"已新增新的記事本。",
        u"님이 노트를 작성했습니다.",
        u" membuat catatan baru.",
        u" đã tạo ghi chú mới.",
        u" hat eine Notiz erstellt.",
        u" a créé une note.",
        u" creó una nota.",
        u" criou uma nota.",
        u" ha creato una nota.",
    };
    // Group calls.
    static const std::initializer_list<QStringView> Whole = {
        u"グループ通話が開始されました。", u"グループ通話が終了しました。",
        u"Group call started.", u"Group call ended.", u"Group voice call started.",
        u"Group voice call ended.", u"Group video call started.", u"Group video call ended.",
        u"群組語音通話已開始。", u"群組通話已結束。",
        u"群组通话已开始。", u"群组通话已结束。",
        u"그룹통화가 시작되었습니다.", u"그룹통화가 종료되었습니다.",
        u"การโทรกลุ่มเริ่มขึ้นแล้ว", u"การโทรกลุ่มสิ้นสุดลงแล้ว",
        u"Panggilan grup dimulai.", u"Panggilan grup berakhir.",
        u"Cuộc gọi nhóm đã bắt đầu.", u"Cuộc gọi nhóm đã kết thúc.",
        u"Gruppenanruf gestartet.", u"Gruppenanruf beendet.",
        u"Appel de groupe démarré.", u"Appel de groupe terminé.",
        u"Llamada grupal iniciada.", u"Llamada grupal finalizada.",
        u"Chamada em grupo iniciada.", u"Chamada em grupo encerrada.",
        u"Chiamata di gruppo avviata.", u"Chiamata di gruppo terminata.",
    };
    // clang-format on
    if (text.front() == u'[' && startsWithAny(text, Notes))
        return true;
    // Every other event the app writes ends in a full stop or a verb.
    return endsAsEvent(text.back())
        && (endsWithAny(text, Ends) || equalsAny(text, Whole) || isUnsendText(text));
}

bool isUnsendText(QStringView text)
{
    text = blanksCut(text);
    if (text.isEmpty() || !endsAsEvent(text.back()))
        return false;
    // By language, a row each, with the name glued to it or not.
    // clang-format off
    static const std::initializer_list<QStringView> Ends = {
        u"メッセージの送信を取り消しました",
        u"unsent a message.",
        u"已收回訊息", u"已收回訊息。", u"撤回了一条消息",
        u"님이 메시지를 취소했습니다.", u"메시지 전송을 취소했습니다.",
        u"ยกเลิกข้อความแล้ว", u"ยกเลิกการส่งข้อความแล้ว",
        u"membatalkan pengiriman pesan.",
        u"đã thu hồi tin nhắn.", u"đã thu hồi một tin nhắn.",
        u"hat das Senden einer Nachricht zurückgenommen.",
        u"a annulé l'envoi d'un message.",
        u"anuló el envío de un mensaje.",
        u"cancelou o envio de uma mensagem.",
        u"ha annullato l'invio di un messaggio.",
    };
    // clang-format on
    return endsWithAny(text, Ends);
}

bool isPlaceholder(QStringView text)
{
    text = blanksCut(text);
    if (text.isEmpty())
        return false;
    if (text.front() == u'☎')
        return true; // a call: its length, or that it was missed or canceled
    if (text.front() == u'[') {
        // What the phone apps write, by language, a row each.
        // clang-format off
        static const std::initializer_list<QStringView> Bracketed = {
            u"[スタンプ]", u"[写真]", u"[動画]", u"[ファイル]", u"[ボイスメッセージ]", u"[位置情報]", u"[連絡先]",
            u"[Sticker]", u"[Photo]", u"[Video]", u"[File]", u"[Voice message]", u"[Location]",
            u"[Contact]",
            u"[照片]", u"[貼圖]", u"[影片]", u"[檔案]", u"[語音訊息]", u"[位置資訊]", u"[貼紙]", u"[聯絡資訊]",
            u"[贴图]", u"[视频]", u"[文件]", u"[语音信息]", u"[位置信息]", u"[联系人]",
            u"[스티커]", u"[사진]", u"[동영상]", u"[파일]", u"[음성메시지]", u"[위치정보]", u"[연락처]",
            u"[รูป]", u"[รูปภาพ]", u"[สติกเกอร์]", u"[วิดีโอ]", u"[ไฟล์]", u"[ข้อความเสียง]",
            u"[ตำแหน่งที่ตั้ง]", u"[รายชื่อติดต่อ]",
            u"[Stiker]", u"[Foto]", u"[Pesan suara]", u"[Lokasi]", u"[Kontak]",
            u"[Ảnh]", u"[Tin nhắn thoại]", u"[Vị trí]", u"[Liên hệ]",
            u"[Datei]", u"[Sprachnachricht]", u"[Standort]",
            u"[Vidéo]", u"[Fichier]", u"[Message vocal]", u"[Position]",
            u"[Archivo]", u"[Mensaje de voz]", u"[Ubicación]", u"[Contacto]",
            u"[Arquivo]", u"[Mensagem de voz]", u"[Localização]", u"[Contato]",
            u"[Messaggio vocale]", u"[Posizione]", u"[Contatto]",
        };
        // clang-format on
        if (text.back() == u']' && text.size() <= MaxBracketed && equalsAny(text, Bracketed))
            return true;
        if (text.back() == u']' && text.size() <= 16)
            return false; // a bracketed word of the text's own
        return startsWithAny(text,
                             {u"[アルバム] ", u"[Album] ", u"[相簿] ", u"[相册] ", u"[앨범] ",
                              u"[อัลบั้ม] ", u"[Álbum] "});
    }
    // The desktop app's words, and missed calls by language.
    // clang-format off
    static const std::initializer_list<QStringView> Bare = {
        u"スタンプ", u"写真", u"動画", u"Stickers", u"Photos", u"Canceled", u"圖片", u"貼圖", u"影片",
        u"Missed call", u"未接來電", u"未接来电", u"부재중 전화", u"ไม่ได้รับสาย", u"Panggilan tak terjawab",
        u"Cuộc gọi nhỡ", u"Verpasster Anruf", u"Appel manqué", u"Llamada perdida",
        u"Chamada perdida", u"Chiamata persa",
    };
    // clang-format on
    return text.size() <= MaxBare && equalsAny(text, Bare);
}
