#include "engine/read/formats/xarchive/xarchivecontent.h"

#include "engine/read/shared/isotime.h"
#include "engine/read/shared/jsonpull.h"

#include <QRegularExpression>
#include <QUrl>

namespace xarchive {

namespace {

// The one member of an item ({"messageCreate": {…}}): its name and value.
const rapidjson::Value *body(const rapidjson::Value &item, std::string_view &kind)
{
    if (!item.IsObject() || item.MemberCount() == 0)
        return nullptr;
    const auto first = item.MemberBegin();
    kind = std::string_view(first->name.GetString(), first->name.GetStringLength());
    return &first->value;
}

QStringList strings(const rapidjson::Value &object, const char *name)
{
    QStringList out;
    if (const rapidjson::Value *list = json::member(object, name); list && list->IsArray()) {
        for (const rapidjson::Value &v : list->GetArray())
            out.append(json::idText(v));
    }
    return out;
}

QString named(const QStringList &ids, const People &people)
{
    QStringList names;
    for (const QString &id : ids)
        names.append(people.name(id));
    return names.join(u'、');
}

QString kindOf(const QString &fileName)
{
    const QString ext = fileName.mid(fileName.lastIndexOf(u'.') + 1).toLower();
    static const QStringList Photos {QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                     QStringLiteral("png"), QStringLiteral("gif"),
                                     QStringLiteral("webp")};
    static const QStringList Videos {QStringLiteral("mp4"), QStringLiteral("mov"),
                                     QStringLiteral("m4v"), QStringLiteral("webm")};
    if (Photos.contains(ext))
        return QStringLiteral("写真");
    if (Videos.contains(ext))
        return QStringLiteral("動画");
    return QStringLiteral("ファイル");
}

void message(const rapidjson::Value &m, const People &people, const MediaPath &media,
             chat::Message &msg)
{
    msg.id = json::idText(json::at(m, "id"));
    msg.sender = people.name(json::idText(json::at(m, "senderId")));
    const QString to = json::idText(json::at(m, "recipientId"));
    if (!to.isEmpty())
        msg.recipients.append(people.name(to));
    QString text = json::string(m, "text");
    const QStringList mediaUrls = strings(m, "mediaUrls");
    // Short links back to their addresses; the one that stands for the media is the attachment.
    if (const rapidjson::Value *urls = json::member(m, "urls"); urls && urls->IsArray()) {
        for (const rapidjson::Value &u : urls->GetArray()) {
            const QString shortUrl = json::string(u, "url");
            const QString expanded = json::string(u, "expanded");
            if (shortUrl.isEmpty())
                continue;
            const bool isMedia = !mediaUrls.isEmpty() && expanded.contains(u"/messages/media/");
            text.replace(shortUrl, isMedia || expanded.isEmpty() ? QString() : expanded);
        }
    }
    text = text.trimmed();
    // Older archives give no "urls": the short link that stands for the media ends the text.
    if (!mediaUrls.isEmpty() && !json::member(m, "urls")) {
        static const QRegularExpression mediaLink(QStringLiteral("(^|\\s)https://t\\.co/\\S+$"));
        text.remove(mediaLink);
    }
    if (!text.isEmpty())
        msg.text = text.split(u'\n');
    for (const QString &url : mediaUrls) {
        const QString name = QUrl(url).fileName();
        chat::Attachment a {name, kindOf(name), -1, {}};
        a.path = media(msg.id + u'-' + name);
        if (!a.path.isEmpty())
            a.name = a.path.mid(a.path.lastIndexOf(u'/') + 1);
        msg.attachments.append(a);
    }
    if (const rapidjson::Value *reactions = json::member(m, "reactions");
        reactions && reactions->IsArray()) {
        for (const rapidjson::Value &r : reactions->GetArray()) {
            addReaction(msg, emoji(json::string(r, "reactionKey")),
                        people.name(json::idText(json::at(r, "senderId"))));
        }
    }
    const rapidjson::Value &edits = json::at(m, "editHistory");
    msg.edited = (edits.IsArray() && !edits.Empty()) || (edits.IsObject() && !edits.ObjectEmpty());
}

} // namespace

bool record(const rapidjson::Value &item, const People &people, const MediaPath &media,
            chat::Record &out, QDateTime &at)
{
    std::string_view kind;
    const rapidjson::Value *b = body(item, kind);
    if (!b || !b->IsObject())
        return false;
    at = isoDateTime(json::string(*b, "createdAt"));
    const chat::Moment when = at.isValid() ? chat::Moment::fromInstant(at) : chat::Moment();
    if (kind == "messageCreate" || kind == "welcomeMessageCreate") {
        out.kind = chat::Record::Kind::Message;
        message(*b, people, media, out.message);
        out.message.when = when;
        return true;
    }
    const QString actor = people.name(json::idText(json::at(*b, "initiatingUserId")));
    const QStringList users = strings(*b, "userIds");
    QString text;
    // Who added whom; for a join without its initiator, the one who joined.
    const auto added = [&](const QString &whom) {
        return actor.isEmpty()
            ? whom + QStringLiteral(" が参加しました")
            : QString(actor + QStringLiteral(" が ") + whom + QStringLiteral(" を追加しました"));
    };
    if (kind == "joinConversation") {
        // The archive's owner was added to the group: "you" where the archive does not say who
        // that is.
        const QString owner = people.name(people.ownerId);
        text = added(owner.isEmpty() ? QStringLiteral("あなた") : owner);
    } else if (kind == "participantsJoin") {
        text = added(named(users, people));
    } else if (kind == "participantsLeave") {
        text = named(users, people) + QStringLiteral(" が退出しました");
    } else if (kind == "conversationNameUpdate") {
        text = actor + QStringLiteral(" がグループ名を「") + json::string(*b, "name")
            + QStringLiteral("」に変更しました");
    } else {
        return false;
    }
    out.kind = chat::Record::Kind::Event;
    out.event
        = {text, actor.isEmpty() && !users.isEmpty() ? people.name(users.first()) : actor, when};
    return true;
}

bool reaction(const rapidjson::Value &item, const People &people, Reacted &out)
{
    std::string_view kind;
    const rapidjson::Value *b = body(item, kind);
    if (!b || !b->IsObject() || kind != "reactionCreate")
        return false;
    out.messageId = json::idText(json::at(*b, "eventId"));
    out.emoji = emoji(json::string(*b, "reactionKey"));
    out.by = people.name(json::idText(json::at(*b, "senderId")));
    out.at = isoDateTime(json::string(*b, "createdAt"));
    return true;
}

void addReaction(chat::Message &message, const QString &emoji, const QString &by)
{
    auto same = std::find_if(message.reactions.begin(), message.reactions.end(),
                             [&](const chat::Reaction &x) { return x.emoji == emoji; });
    if (same == message.reactions.end())
        message.reactions.append({emoji, {by}});
    else
        same->by.append(by);
}

QStringList ids(const rapidjson::Value &item)
{
    std::string_view kind;
    const rapidjson::Value *b = body(item, kind);
    if (!b || !b->IsObject())
        return {};
    QStringList out;
    for (const char *one : {"senderId", "recipientId", "initiatingUserId"}) {
        const QString id = json::idText(json::at(*b, one));
        if (!id.isEmpty())
            out.append(id);
    }
    return out + strings(*b, "userIds") + strings(*b, "participantsSnapshot");
}

QString renamedTo(const rapidjson::Value &item)
{
    std::string_view kind;
    const rapidjson::Value *b = body(item, kind);
    return b && kind == "conversationNameUpdate" ? json::string(*b, "name") : QString();
}

QString emoji(const QString &key)
{
    static const QHash<QString, QString> Emoji {
        {QStringLiteral("like"), QStringLiteral("❤️")},
        {QStringLiteral("funny"), QStringLiteral("😂")},
        {QStringLiteral("surprised"), QStringLiteral("😲")},
        {QStringLiteral("sad"), QStringLiteral("😢")},
        {QStringLiteral("agree"), QStringLiteral("👍")},
        {QStringLiteral("disagree"), QStringLiteral("👎")},
        {QStringLiteral("excited"), QStringLiteral("🔥")},
    };
    return Emoji.value(key, key);
}

} // namespace xarchive
