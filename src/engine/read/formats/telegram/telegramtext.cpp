#include "engine/read/formats/telegram/telegramtext.h"

#include "engine/read/shared/jsonpull.h"

namespace telegram {

namespace {

QString str(const rapidjson::Value &v)
{
    return v.IsString() ? QString::fromUtf8(v.GetString(), v.GetStringLength()) : QString();
}

QString names(const rapidjson::Value &message, const char *field)
{
    QStringList out;
    if (const rapidjson::Value *list = json::member(message, field); list && list->IsArray()) {
        for (const rapidjson::Value &name : list->GetArray())
            out.append(name.IsNull() ? QStringLiteral("(削除されたアカウント)") : str(name));
    }
    return out.join(u'、');
}

// The kind of a file as the page names it, by Telegram's media type.
QString mediaKind(const QString &type, const QString &mime)
{
    if (type == u"sticker")
        return QStringLiteral("スタンプ");
    if (type == u"animation")
        return QStringLiteral("GIF");
    if (type == u"video_file" || type == u"video_message")
        return QStringLiteral("動画");
    if (type == u"voice_message")
        return QStringLiteral("ボイスメッセージ");
    if (type == u"audio_file")
        return QStringLiteral("音声");
    if (mime.startsWith(u"image/"))
        return QStringLiteral("写真");
    return QStringLiteral("ファイル");
}

QString fileName(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

} // namespace

QString plainText(const rapidjson::Value &text)
{
    if (text.IsString())
        return str(text);
    if (!text.IsArray())
        return {};
    QString out;
    for (const rapidjson::Value &part : text.GetArray()) {
        if (part.IsString()) {
            out += str(part);
            continue;
        }
        const QString shown = json::string(part, "text");
        const QString href = json::string(part, "href");
        out += shown;
        if (!href.isEmpty() && href != shown)
            out += QStringLiteral(" (") + href + u')';
    }
    return out;
}

QString eventText(const rapidjson::Value &m)
{
    const QString actor = json::string(m, "actor");
    const QString action = json::string(m, "action");
    const QString title = json::string(m, "title");
    const QString members = names(m, "members");
    if (action == u"create_group" || action == u"create_channel")
        return actor + QStringLiteral(" が「") + title + QStringLiteral("」を作成しました");
    if (action == u"invite_members")
        return actor + QStringLiteral(" が ") + members + QStringLiteral(" を追加しました");
    if (action == u"remove_members")
        return actor + QStringLiteral(" が ") + members + QStringLiteral(" を削除しました");
    if (action == u"join_group_by_link" || action == u"join_group_by_request")
        return actor + QStringLiteral(" が参加しました");
    if (action == u"edit_group_title")
        return actor + QStringLiteral(" がグループ名を「") + title
            + QStringLiteral("」に変更しました");
    if (action == u"edit_group_photo")
        return actor + QStringLiteral(" がグループの写真を変更しました");
    if (action == u"delete_group_photo")
        return actor + QStringLiteral(" がグループの写真を削除しました");
    if (action == u"pin_message")
        return actor + QStringLiteral(" がメッセージを固定しました");
    if (action == u"phone_call") {
        const qint64 seconds = json::integer(m, "duration_seconds", -1);
        const QString reason = json::string(m, "discard_reason");
        if (reason == u"missed" || reason == u"busy")
            return actor + QStringLiteral(" からの不在着信");
        return actor + QStringLiteral(" の通話")
            + (seconds >= 0 ? QStringLiteral(" (%1 秒)").arg(seconds) : QString());
    }
    if (action == u"group_call")
        return actor + QStringLiteral(" がグループ通話を始めました");
    if (action == u"migrate_to_supergroup" || action == u"migrate_from_group")
        return QStringLiteral("グループがスーパーグループになりました");
    if (action == u"edit_chat_theme") {
        const QString emoticon = json::string(m, "emoticon");
        if (emoticon.isEmpty())
            return actor + QStringLiteral(" がチャットのテーマを解除しました");
        return actor + QStringLiteral(" がチャットのテーマを ") + emoticon
            + QStringLiteral(" に変更しました");
    }
    if (action == u"suggest_profile_photo")
        return actor + QStringLiteral(" がプロフィール写真を提案しました");
    if (action == u"joined_telegram")
        return actor + QStringLiteral(" が Telegram を始めました");
    if (action == u"clear_history")
        return actor + QStringLiteral(" が履歴を消去しました");
    if (action == u"take_screenshot")
        return actor + QStringLiteral(" がスクリーンショットを撮りました");
    if (action == u"set_messages_ttl")
        return actor + QStringLiteral(" がメッセージの自動削除を設定しました");
    if (action == u"invite_to_group_call")
        return actor + QStringLiteral(" が ") + members
            + QStringLiteral(" をグループ通話に招待しました");
    if (action == u"group_call_scheduled")
        return actor + QStringLiteral(" がグループ通話を予定しました");
    if (action == u"topic_created")
        return actor + QStringLiteral(" がトピック「") + title + QStringLiteral("」を作成しました");
    if (action == u"topic_edit")
        return actor + QStringLiteral(" がトピックを変更しました");
    if (action == u"set_chat_wallpaper" || action == u"set_same_chat_wallpaper")
        return actor + QStringLiteral(" がチャットの背景を変更しました");
    if (action == u"allow_sending_messages")
        return actor + QStringLiteral(" がボットにメッセージの送信を許可しました");
    if (action == u"send_payment")
        return actor + QStringLiteral(" が支払いをしました");
    if (action == u"score_in_game")
        return actor
            + QStringLiteral(" がゲームで %1 点を取りました").arg(json::integer(m, "score", 0));
    if (action == u"proximity_reached")
        return actor + QStringLiteral(" が近くに来ました");
    if (action == u"boost_apply")
        return actor + QStringLiteral(" がブーストしました");
    if (action == u"send_premium_gift")
        return actor + QStringLiteral(" がプレミアムを贈りました");
    if (action == u"giveaway_launch")
        return actor + QStringLiteral(" がプレゼント企画を始めました");
    if (action == u"giveaway_results")
        return QStringLiteral("プレゼント企画の結果が出ました");
    const QString text = plainText(json::at(m, "text"));
    QString said = actor.isEmpty() ? action : actor + QStringLiteral(": ") + action;
    if (!text.isEmpty())
        said += QStringLiteral(" ") + text;
    return said;
}

QString notIncluded(const QString &said)
{
    // What the export writes in place of a file it left out, in English whatever the language.
    if (said.contains(u"exceeds maximum size"))
        return QStringLiteral("(大きすぎて書き出しに含まれていません)");
    if (said.contains(u"not included"))
        return QStringLiteral("(書き出しに含まれていません)");
    return said;
}

QStringList poll(const rapidjson::Value &message)
{
    const rapidjson::Value *p = json::member(message, "poll");
    if (!p || !p->IsObject())
        return {};
    QStringList lines {QStringLiteral("[投票] ") + json::string(*p, "question")};
    if (const rapidjson::Value *answers = json::member(*p, "answers");
        answers && answers->IsArray()) {
        for (const rapidjson::Value &a : answers->GetArray()) {
            lines.append(QStringLiteral("・%1 (%2 票)%3")
                             .arg(json::string(a, "text"))
                             .arg(json::integer(a, "voters", 0))
                             .arg(json::boolean(a, "chosen") ? QStringLiteral(" ✓") : QString()));
        }
    }
    lines.append(
        QStringLiteral("(投票者 %1 人%2)")
            .arg(json::integer(*p, "total_voters", 0))
            .arg(json::boolean(*p, "closed") ? QStringLiteral("、締め切り済み") : QString()));
    return lines;
}

std::optional<chat::Attachment> attachment(const rapidjson::Value &m)
{
    chat::Attachment a;
    const QString photo = json::string(m, "photo");
    const QString file = json::string(m, "file");
    const QString path = !photo.isEmpty() ? photo : file;
    if (path.isEmpty())
        return std::nullopt;
    const bool missing = path.startsWith(u'(');
    const QString absent = missing ? notIncluded(path) : QString();
    a.kind = !photo.isEmpty()
        ? QStringLiteral("写真")
        : mediaKind(json::string(m, "media_type"), json::string(m, "mime_type"));
    a.name = json::string(m, "file_name");
    if (a.name.isEmpty())
        a.name = missing ? absent : fileName(path);
    else if (missing)
        a.name += u' ' + absent;
    if (!missing)
        a.path = path;
    a.size = json::integer(m, !photo.isEmpty() ? "photo_file_size" : "file_size", -1);
    const QString emoji = json::string(m, "sticker_emoji");
    if (!emoji.isEmpty())
        a.name = emoji + u' ' + a.name;
    return a;
}

QList<chat::Reaction> reactions(const rapidjson::Value &m)
{
    QList<chat::Reaction> out;
    const rapidjson::Value *list = json::member(m, "reactions");
    if (!list || !list->IsArray())
        return out;
    for (const rapidjson::Value &r : list->GetArray()) {
        chat::Reaction reaction;
        reaction.emoji = json::string(r, "emoji");
        if (reaction.emoji.isEmpty())
            reaction.emoji = QStringLiteral("(") + json::string(r, "type") + u')';
        if (const rapidjson::Value *recent = json::member(r, "recent");
            recent && recent->IsArray()) {
            for (const rapidjson::Value &who : recent->GetArray())
                reaction.by.append(json::string(who, "from"));
        }
        const qint64 count = json::integer(r, "count", 0);
        if (reaction.by.size() < count && count > 1)
            reaction.emoji += QStringLiteral(" ×%1").arg(count);
        out.append(reaction);
    }
    return out;
}

} // namespace telegram
