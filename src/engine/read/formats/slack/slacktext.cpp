#include "engine/read/formats/slack/slacktext.h"

#include "engine/read/shared/chatkeys.h"
#include "engine/read/shared/exportfiles.h"
#include "engine/read/shared/jsonpull.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <functional>

namespace slack {

namespace {

QStringList idList(const rapidjson::Value &object, const char *name)
{
    QStringList out;
    if (const rapidjson::Value *list = json::member(object, name); list && list->IsArray()) {
        for (const rapidjson::Value &v : list->GetArray())
            out.append(json::idText(v));
    }
    return out;
}

QString fileKind(const QString &mime)
{
    if (mime.startsWith(u"image/"))
        return QStringLiteral("写真");
    if (mime.startsWith(u"video/"))
        return QStringLiteral("動画");
    if (mime.startsWith(u"audio/"))
        return QStringLiteral("音声");
    return QStringLiteral("ファイル");
}

// Subtypes that tell of the conversation rather than say something in it.
bool isEvent(const QString &subtype)
{
    static const QStringList events = {
        QStringLiteral("bot_add"),
        QStringLiteral("bot_remove"),
        QStringLiteral("pinned_item"),
        QStringLiteral("unpinned_item"),
        QStringLiteral("reminder_add"),
        QStringLiteral("reminder_delete"),
        QStringLiteral("joiner_notification"),
    };
    return subtype.startsWith(u"channel_") || subtype.startsWith(u"group_")
        || events.contains(subtype);
}

QString sender(const rapidjson::Value &m, const Workspace &w)
{
    QString user = json::string(m, "user");
    // A comment on a file names its author only in the comment.
    if (user.isEmpty())
        user = json::string(json::at(m, "comment"), "user");
    if (w.users.contains(user))
        return w.users.value(user);
    if (user == u"USLACKBOT") // Slack's own bot, in no users list
        return QStringLiteral("Slackbot");
    // A bot, or someone the users list no longer holds, named by the message itself (old exports
    // write the name as markup, "<@U1|ann>").
    const rapidjson::Value &profile = json::at(m, "user_profile");
    const QString botId = json::string(m, "bot_id");
    for (const QString &name :
         {plain(json::string(m, "username"), w, true), json::string(profile, "real_name"),
          json::string(profile, "display_name"), json::string(json::at(m, "bot_profile"), "name"),
          w.bots.value(botId), user, botId}) {
        if (!name.isEmpty())
            return name;
    }
    return QStringLiteral("(不明)");
}

// The emoji that a message's blocks spell out, by the shortcode its text writes
// (":+1::skin-tone-2:" with its skin tone).
void blockEmoji(const rapidjson::Value &v, QHash<QString, QString> &out)
{
    if (v.IsArray()) {
        for (const rapidjson::Value &one : v.GetArray())
            blockEmoji(one, out);
        return;
    }
    if (!v.IsObject())
        return;
    const QString code = json::string(v, "unicode");
    if (json::string(v, "type") == u"emoji" && !code.isEmpty()) {
        QString shown;
        for (const QString &point : code.split(u'-')) {
            bool ok = false;
            const char32_t c = point.toUInt(&ok, 16);
            if (!ok || c == 0 || c > 0x10FFFF)
                return;
            shown += QString::fromUcs4(&c, 1);
        }
        const qint64 tone = json::integer(v, "skin_tone", 0);
        out.insert(u':' + json::string(v, "name") + u':'
                       + (tone > 0 ? QStringLiteral(":skin-tone-%1:").arg(tone) : QString()),
                   shown);
        return;
    }
    for (const auto &member : v.GetObject())
        blockEmoji(member.value, out);
}

QString withEmoji(QString text, const rapidjson::Value &m)
{
    QHash<QString, QString> emoji;
    blockEmoji(json::at(m, "blocks"), emoji);
    QStringList codes = emoji.keys();
    // Those with a skin tone before the same emoji without.
    std::sort(codes.begin(), codes.end(),
              [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &code : std::as_const(codes))
        text.replace(code, emoji.value(code));
    return text;
}

// "1600000000.000200" -> its instant in milliseconds.
chat::Moment moment(const QString &ts)
{
    const qsizetype dot = ts.indexOf(u'.');
    bool ok = false;
    const qint64 seconds = ts.left(dot < 0 ? ts.size() : dot).toLongLong(&ok);
    if (!ok)
        return {};
    const qint64 ms
        = dot < 0 ? 0 : QString(ts.mid(dot + 1) + QStringLiteral("000")).left(3).toLongLong();
    return chat::Moment::fromEpochMs(seconds * 1000 + ms);
}

} // namespace

bool eachItem(const ExportFiles &files, const QString &name, QString *error,
              const std::function<void(const rapidjson::Value &)> &each)
{
    const std::unique_ptr<QIODevice> device = files.file(name, error);
    if (!device) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(name, *error);
        return false;
    }
    JsonPull pull(*device);
    if (pull.next() != JsonPull::Token::StartArray) {
        if (error) {
            *error = pull.failed() ? QStringLiteral("%1: %2").arg(name, pull.errorString())
                                   : QStringLiteral("%1: not a list").arg(name);
        }
        return false;
    }
    pull.eachObject(each);
    if (!pull.failed() && pull.token() != JsonPull::Token::EndArray) {
        if (error)
            *error
                = QStringLiteral("%1: line %2: not a list of objects").arg(name).arg(pull.line());
        return false;
    }
    if (pull.failed() && error)
        *error = QStringLiteral("%1: %2").arg(name, pull.errorString());
    return !pull.failed();
}

bool findRoot(const ExportFiles &files, QString &root)
{
    if (files.isSingle())
        return false;
    if (files.contains(QStringLiteral("users.json"))) {
        root.clear();
        return true;
    }
    // A ZIP made of the extracted folder holds it in one folder.
    const QStringList top = files.children(QString());
    if (top.size() == 1 && files.contains(top.first() + QStringLiteral("/users.json"))) {
        root = top.first() + u'/';
        return true;
    }
    return false;
}

bool load(const ExportFiles &files, Workspace &w, QString *error)
{
    if (!findRoot(files, w.root)) {
        if (error)
            *error = QCoreApplication::translate("FileError", "the export holds no users.json");
        return false;
    }
    const bool users = eachItem(files, w.root + QStringLiteral("users.json"), error,
                                [&](const rapidjson::Value &u) {
                                    const rapidjson::Value &profile = json::at(u, "profile");
                                    QString name = json::string(u, "real_name");
                                    if (name.isEmpty())
                                        name = json::string(profile, "real_name");
                                    if (name.isEmpty())
                                        name = json::string(profile, "display_name");
                                    if (name.isEmpty())
                                        name = json::string(u, "name");
                                    w.users.insert(json::string(u, "id"), name);
                                });
    if (!users)
        return false;
    // Channels and private groups by their names, group DMs by theirs, DMs by their ids.
    struct List
    {
        const char *file;
        bool hash;
        bool byId;
    };
    const List lists[] = {{"channels.json", true, false},
                          {"groups.json", true, false},
                          {"mpims.json", false, false},
                          {"dms.json", false, true}};
    ChatKeys keys;
    for (const List &list : lists) {
        const QString file = w.root + QLatin1String(list.file);
        if (!files.contains(file))
            continue;
        const bool read = eachItem(files, file, error, [&](const rapidjson::Value &c) {
            const QString id = json::string(c, "id");
            const QString name = json::string(c, "name");
            w.channels.insert(id, name);
            Conversation conv;
            conv.folder = list.byId ? id : name;
            if (conv.folder.isEmpty() || files.children(w.root + conv.folder).isEmpty())
                return;
            for (const QString &member : idList(c, "members"))
                conv.members.append(w.user(member));
            conv.name = list.hash ? u'#' + name : conv.members.join(QStringLiteral(", "));
            if (conv.name.isEmpty())
                conv.name = conv.folder;
            conv.key = keys.next(list.hash ? name : conv.name, conv.folder);
            w.conversations.append(conv);
        });
        if (!read)
            return false;
    }
    return true;
}

QString plain(const QString &text, const Workspace &w, bool plainNames)
{
    static const QRegularExpression markup(QStringLiteral("<([^<>]*)>"));
    QString out;
    qsizetype last = 0;
    for (auto it = markup.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        last = m.capturedEnd();
        const QString inner = m.captured(1);
        const qsizetype bar = inner.indexOf(u'|');
        const QString target = bar < 0 ? inner : inner.left(bar);
        const QString label = bar < 0 ? QString() : inner.mid(bar + 1);
        if (target.startsWith(u'@')) {
            const QString id = target.mid(1);
            const QString name
                = w.users.contains(id) ? w.users.value(id) : (label.isEmpty() ? id : label);
            out += plainNames ? name : u'@' + name;
        } else if (target.startsWith(u'#')) {
            out += u'#'
                + (label.isEmpty() ? w.channels.value(target.mid(1), target.mid(1)) : label);
        } else if (target.startsWith(u'!')) {
            // "<!here>", "<!subteam^S1|@team>", "<!date^…|fallback>"
            out += label.isEmpty() ? u'@' + target.mid(1).section(u'^', 0, 0) : label;
        } else {
            const QString url = target.startsWith(u"mailto:")
                ? target.mid(QStringLiteral("mailto:").size())
                : target;
            out += label.isEmpty() || label == url || label == target
                ? url
                : QStringLiteral("%1 (%2)").arg(label, url);
        }
    }
    out += QStringView(text).mid(last);
    return out.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

void learnBot(const rapidjson::Value &m, Workspace &w)
{
    const rapidjson::Value &profile = json::at(m, "bot_profile");
    const QString id = json::string(profile, "id");
    const QString name = json::string(profile, "name");
    if (!id.isEmpty() && !name.isEmpty())
        w.bots.insert(id, name);
}

bool record(const rapidjson::Value &item, const Workspace &w, chat::Record &r)
{
    const QString subtype = json::string(item, "subtype");
    // An edit or a deletion noted as its own message (exports seldom keep these).
    const rapidjson::Value *changed = json::member(item, "message");
    const bool edit = subtype == u"message_changed" && changed && changed->IsObject();
    const rapidjson::Value &m = edit ? *changed : item;
    const QString ts = json::string(item, "ts");
    r = {};
    // A deleted message that a thread hung on stays as Slackbot's "tombstone".
    const bool deleted = subtype == u"message_deleted" || subtype == u"tombstone";
    if (isEvent(subtype) || deleted) {
        r.kind = chat::Record::Kind::Event;
        r.event.actor = subtype == u"tombstone" ? QString() : sender(m, w);
        r.event.when = moment(ts);
        r.event.text = deleted ? QStringLiteral("(削除されたメッセージ)")
                               : plain(json::string(m, "text"), w, true);
        return !r.event.text.isEmpty();
    }
    chat::Message &msg = r.message;
    msg.id = json::string(m, "ts");
    msg.sender = sender(m, w);
    msg.when = moment(ts);
    const QString threadTs = json::string(m, "thread_ts");
    if (!threadTs.isEmpty() && threadTs != msg.id) {
        msg.replyTo = threadTs;
        // Names whom it answers even when the export lacks that message.
        if (const QString parent = json::string(m, "parent_user_id"); !parent.isEmpty())
            msg.replySender = w.user(parent);
    }
    msg.edited = edit || json::member(m, "edited");
    QString text = withEmoji(plain(json::string(m, "text"), w), m);
    // A bot's message may say everything in its attachments.
    if (const rapidjson::Value *list = json::member(m, "attachments"); list && list->IsArray()) {
        for (const rapidjson::Value &a : list->GetArray()) {
            const QString fallback = json::string(a, "fallback");
            if (!fallback.isEmpty() && !text.contains(fallback))
                text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + plain(fallback, w);
        }
    }
    if (!text.isEmpty())
        msg.text = text.split(u'\n');
    if (const rapidjson::Value *list = json::member(m, "files"); list && list->IsArray()) {
        for (const rapidjson::Value &f : list->GetArray()) {
            chat::Attachment a;
            a.name = json::string(f, "name");
            if (a.name.isEmpty())
                a.name = json::string(f, "title");
            if (a.name.isEmpty())
                a.name = json::string(f, "id");
            a.kind = fileKind(json::string(f, "mimetype"));
            a.size = json::integer(f, "size", -1);
            msg.attachments.append(a);
        }
    }
    if (const rapidjson::Value *list = json::member(m, "reactions"); list && list->IsArray()) {
        for (const rapidjson::Value &e : list->GetArray()) {
            chat::Reaction reaction {u':' + json::string(e, "name") + u':', {}};
            for (const QString &id : idList(e, "users"))
                reaction.by.append(w.user(id));
            msg.reactions.append(reaction);
        }
    }
    return true;
}

} // namespace slack
