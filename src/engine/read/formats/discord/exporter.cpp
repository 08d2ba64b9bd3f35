#include "engine/read/formats/discord/exporter.h"

#include "engine/read/chat/aheadrecords.h"
#include "engine/read/chat/quotebook.h"
#include "engine/read/formats/discord/discordtext.h"
#include "engine/read/shared/ascii.h"
#include "engine/read/shared/jsonrecords.h"

#include <QRegularExpression>
#include <string>
#include <string_view>

namespace {

// A user as the channel showed them: the nickname where there is one.
QString userName(const rapidjson::Value &user)
{
    const QString nickname = json::string(user, "nickname");
    return nickname.isEmpty() ? json::string(user, "name") : nickname;
}

// An instant as the exporter writes it: most are short ASCII, read with no string made.
chat::Moment momentOf(const rapidjson::Value *v)
{
    if (!v || !v->IsString())
        return discord::moment(QString());
    const QByteArrayView utf8(v->GetString(), v->GetStringLength());
    AsciiBuffer buffer;
    if (const std::optional<QStringView> text = asciiText(utf8, buffer))
        return discord::moment(*text);
    return discord::moment(QString::fromUtf8(utf8));
}

QStringList userNames(const rapidjson::Value &list)
{
    QStringList out;
    if (list.IsArray()) {
        for (const rapidjson::Value &user : list.GetArray())
            out.append(userName(user));
    }
    return out;
}

// The exporter's own restatement of what a system message tells; anything else in its text is
// Discord's and kept.
bool isRestatement(const QString &content)
{
    static const QRegularExpression said(QStringLiteral(
        "^(Added a recipient|Removed a recipient|Changed the channel (name|icon)|Pinned a message|"
        "Joined the server|Started a thread|Started a call( that lasted .*)?)\\.$"));
    return content.isEmpty() || said.match(content).hasMatch();
}

const QStringList EventKinds = QStringLiteral("RecipientAdd RecipientRemove Call ChannelNameChange "
                                              "ChannelIconChange ChannelPinnedMessage "
                                              "GuildMemberJoin ThreadCreated")
                                   .split(u' ');

QString callText(const rapidjson::Value &m, const QString &actor)
{
    const chat::Moment start = discord::moment(json::string(m, "timestamp"));
    const chat::Moment end = discord::moment(json::string(m, "callEndedTimestamp"));
    if (!start.isValid() || !end.isValid())
        return actor + QStringLiteral(" が通話を始めました");
    const qint64 seconds = start.at.secsTo(end.at);
    return actor + QStringLiteral(" の通話 (")
        + (seconds < 60 ? QStringLiteral("%1 秒").arg(seconds)
                        : QStringLiteral("%1 分").arg(seconds / 60))
        + u')';
}

// A message's attachments, stickers and embeds (its members of those names).
QList<chat::Attachment> attachments(const rapidjson::Value *files, const rapidjson::Value *stickers,
                                    const rapidjson::Value *embeds)
{
    QList<chat::Attachment> out;
    if (const rapidjson::Value *list = files; list && list->IsArray()) {
        for (const rapidjson::Value &a : list->GetArray()) {
            const QString url = json::string(a, "url");
            QString name = json::string(a, "fileName");
            if (name.isEmpty())
                name = discord::fileName(url);
            out.append({name, discord::fileKind(name), json::integer(a, "fileSizeBytes", -1),
                        discord::localPath(url)});
        }
    }
    if (const rapidjson::Value *list = stickers; list && list->IsArray()) {
        for (const rapidjson::Value &s : list->GetArray())
            out.append({json::string(s, "name"), QStringLiteral("スタンプ"), -1,
                        discord::localPath(json::string(s, "sourceUrl"))});
    }
    if (const rapidjson::Value *list = embeds; list && list->IsArray()) {
        for (const rapidjson::Value &e : list->GetArray()) {
            // A link's preview, or a bot's card: its title (or the start of its text) and where
            // it leads.
            QString title = json::string(e, "title").simplified();
            if (title.isEmpty()) {
                title = json::string(e, "description").section(u'\n', 0, 0).simplified();
                if (title.size() > 60)
                    title = title.left(59) + u'…';
            }
            const QString url = json::string(e, "url");
            QString name = title.isEmpty() || url.isEmpty()
                ? QString(title + url)
                : QString(title + QStringLiteral(" (") + url + u')');
            if (name.isEmpty())
                name = QStringLiteral("(埋め込み)");
            out.append({name, QStringLiteral("リンク"), -1, QString()});
        }
    }
    return out;
}

// A message's reactions (its member of that name).
QList<chat::Reaction> reactions(const rapidjson::Value *list)
{
    QList<chat::Reaction> out;
    if (!list || !list->IsArray())
        return out;
    for (const rapidjson::Value &r : list->GetArray()) {
        const rapidjson::Value &emoji = json::at(r, "emoji");
        chat::Reaction reaction;
        reaction.emoji = json::string(emoji, "name");
        // A server's own emoji goes by its name, as Discord writes it in text.
        if (!json::string(emoji, "id").isEmpty())
            reaction.emoji = u':' + reaction.emoji + u':';
        reaction.by = userNames(json::at(r, "users"));
        const qint64 count = json::integer(r, "count", 0);
        if (reaction.by.size() < count && count > 1)
            reaction.emoji += QStringLiteral(" ×%1").arg(count);
        out.append(reaction);
    }
    return out;
}

class ExporterReader : public JsonRecords
{
public:
    using JsonRecords::JsonRecords;

protected:
    bool enter(JsonPull &pull, chat::Chat &chat) override
    {
        m_quotes.clear();
        QString guild, category, channel, type;
        if (pull.next() != JsonPull::Token::StartObject)
            return false;
        while (pull.next() == JsonPull::Token::Key) {
            const std::string key(pull.text());
            if (key == "messages") {
                chat.name = chatName(guild, category, channel, type);
                return pull.next() == JsonPull::Token::StartArray;
            }
            if (key == "guild" || key == "channel") {
                if (!pull.take(m_head))
                    return false;
                if (key == "guild") {
                    guild = json::string(m_head, "name");
                } else {
                    category = json::string(m_head, "category");
                    channel = json::string(m_head, "name");
                    type = json::string(m_head, "type");
                }
            } else if (key == "exportedAt") { // when the exporter saved it, as it wrote it
                if (!pull.take(m_head))
                    return false;
                chat.savedOn = json::idText(m_head);
            } else if (!pull.skip()) {
                return false;
            }
        }
        return false;
    }

    bool convert(const rapidjson::Value &m, chat::Record &record) override
    {
        // The exporter writes every message's members in one order.
        Places &at = m_places;
        const auto member = [&m](std::string_view name, quint32 &place) {
            return json::member(m, name, place);
        };
        const QString actor = author(json::at(m, "author", at.author));
        const chat::Moment when = momentOf(member("timestamp", at.timestamp));
        const QString replyTo = json::string(json::at(m, "reference", at.reference), "messageId");
        // Most are "Default" or "Reply", known without a string made of them.
        const rapidjson::Value *const typeValue = member("type", at.type);
        const std::string_view typeText = typeValue && typeValue->IsString()
            ? std::string_view(typeValue->GetString(), typeValue->GetStringLength())
            : std::string_view();
        if (typeText != "Default" && typeText != "Reply") {
            const QString type = json::string(m, "type");
            if (EventKinds.contains(type)) {
                record.kind = chat::Record::Kind::Event;
                record.event = {eventText(m, type, actor, replyTo), actor, when};
                return true;
            }
        }
        chat::Message &msg = record.message;
        msg.id = json::idText(json::at(m, "id", at.id));
        msg.sender = actor;
        msg.when = when;
        const QString content = json::string(m, "content", at.content);
        if (content.contains(u'\n'))
            msg.text = content.split(u'\n');
        else if (!content.isEmpty())
            msg.text = {content};
        msg.replyTo = replyTo;
        m_quotes.fill(msg);
        const rapidjson::Value *const edited = member("timestampEdited", at.edited);
        msg.edited = edited && edited->IsString();
        msg.attachments = attachments(member("attachments", at.attachments),
                                      member("stickers", at.stickers), member("embeds", at.embeds));
        msg.reactions = reactions(member("reactions", at.reactions));
        m_quotes.remember(msg);
        return true;
    }

private:
    static QString chatName(const QString &guild, const QString &category, const QString &channel,
                            const QString &type)
    {
        // A direct message goes by its other person or its group's name.
        if (type.startsWith(u"Direct"))
            return channel;
        QStringList parts;
        for (const QString &part : {guild, category})
            if (!part.isEmpty())
                parts.append(part);
        if (!channel.isEmpty())
            parts.append(u'#' + channel);
        return parts.join(QStringLiteral(" / "));
    }

    QString eventText(const rapidjson::Value &m, const QString &type, const QString &actor,
                      const QString &reference)
    {
        const QString content = json::string(m, "content");
        const QString mentioned = userNames(json::at(m, "mentions")).join(u'、');
        QString said;
        if (type == u"RecipientAdd") {
            said = actor + QStringLiteral(" が ")
                + (mentioned.isEmpty() ? QStringLiteral("メンバー") : mentioned)
                + QStringLiteral(" を追加しました");
        } else if (type == u"RecipientRemove") {
            said = mentioned.isEmpty() || mentioned == actor
                ? QString(actor + QStringLiteral(" が退出しました"))
                : QString(actor + QStringLiteral(" が ") + mentioned
                          + QStringLiteral(" を削除しました"));
        } else if (type == u"Call") {
            said = callText(m, actor);
        } else if (type == u"ChannelNameChange") {
            said = actor + QStringLiteral(" がチャンネル名を変更しました");
        } else if (type == u"ChannelIconChange") {
            said = actor + QStringLiteral(" がアイコンを変更しました");
        } else if (type == u"ChannelPinnedMessage") {
            chat::Message pinned;
            pinned.replyTo = reference;
            m_quotes.fill(pinned);
            said = actor + QStringLiteral(" がメッセージを固定しました");
            if (!pinned.replyQuote.isEmpty())
                said += u"「" + pinned.replyQuote + u"」";
        } else if (type == u"GuildMemberJoin") {
            said = actor + QStringLiteral(" がサーバーに参加しました");
        } else {
            said = actor + QStringLiteral(" がスレッドを作成しました");
        }
        if (!isRestatement(content))
            said += u"「" + content + u"」";
        return said;
    }

    // The author's name: mostly the author of the message before, whose name is then
    // compared as the export wrote it rather than made again.
    const QString &author(const rapidjson::Value &user)
    {
        const auto text = [&user](std::string_view member, quint32 &place) {
            const rapidjson::Value *v = json::member(user, member, place);
            return v && v->IsString() ? std::string_view(v->GetString(), v->GetStringLength())
                                      : std::string_view();
        };
        const std::string_view nickname = text("nickname", m_places.nickname),
                               name = text("name", m_places.name);
        if (m_authorNamed.isNull() || nickname != m_authorNickname || name != m_authorName) {
            m_authorNickname = nickname;
            m_authorName = name;
            m_authorNamed = userName(user);
        }
        return m_authorNamed;
    }

    // Where each member was in the message before (json::member()).
    struct Places
    {
        quint32 author = 0, nickname = 0, name = 0, timestamp = 0, reference = 0, type = 0, id = 0,
                content = 0, edited = 0, attachments = 0, stickers = 0, embeds = 0, reactions = 0;
    };

    QuoteBook m_quotes;
    rapidjson::Document m_head;
    Places m_places;
    std::string m_authorNickname, m_authorName; // the last author, as written
    QString m_authorNamed;
};

} // namespace

std::unique_ptr<RecordReader> exporterRecords(QIODevice &device)
{
    return readAhead(std::make_unique<ExporterReader>(device));
}
