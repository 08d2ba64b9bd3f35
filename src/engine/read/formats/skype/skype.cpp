#include "engine/read/formats/skype/skype.h"

#include "engine/read/chat/aheadrecords.h"
#include "engine/read/chat/packedrecords.h"
#include "engine/read/chat/quotebook.h"
#include "engine/read/formats/skype/skypecontent.h"
#include "engine/read/shared/chatkeys.h"
#include "engine/read/shared/chatplaces.h"
#include "engine/read/shared/exportfiles.h"
#include "engine/read/shared/isotime.h"
#include "engine/read/shared/jsonpull.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

QString messagesFile(const ExportFiles &files)
{
    return files.isSingle() ? files.names().first() : QStringLiteral("messages.json");
}

// What a conversation says of itself before its messages.
struct Conversation
{
    QString id;
    QString displayName;
    QString topic;
    QString name() const { return displayName.isEmpty() ? topic : displayName; }
};

using AtConversation = std::function<bool(const QString &, const Conversation &)>;

// Up to the first conversation: false when the export holds none.
bool enterConversations(JsonPull &pull)
{
    if (pull.next() != JsonPull::Token::StartObject || !pull.seekKey("conversations")
        || pull.next() != JsonPull::Token::StartArray)
        return false;
    return pull.next() == JsonPull::Token::StartObject;
}

// Walks the conversations, each up to its messages: `at` is told each one's key and what it
// says of itself, and returns true to stop there, the pull just past its messages' StartArray.
// Where the run notes places in the export (`noted`), the walk starts at the place of the
// conversation `wanted`, else at the furthest one noted, and notes those it passes.
bool walk(JsonPull &pull, const AtConversation &at, ChatPlaces::Noted *noted = nullptr,
          const QString &wanted = QString())
{
    ChatWalk chats(noted, wanted);
    if (!chats.begin(pull, enterConversations))
        return false;
    rapidjson::Document thread;
    do { // at a conversation's StartObject
        chats.atChat(pull);
        Conversation c;
        while (pull.next() == JsonPull::Token::Key) {
            const std::string member(pull.text());
            if (member == "MessageList") {
                const QString key = chats.key(c.name(), skype::idName(c.id));
                const bool stops = at(key, c);
                const bool goesOn = chats.passed(key, stops);
                if (stops)
                    return pull.next() == JsonPull::Token::StartArray;
                if (!goesOn || !pull.skip())
                    return false;
            } else if (member == "id" || member == "displayName") {
                pull.next();
                (member == "id" ? c.id : c.displayName)
                    = pull.token() == JsonPull::Token::String ? pull.string() : QString();
            } else if (member == "threadProperties") {
                if (!pull.take(thread))
                    return false;
                c.topic = json::string(thread, "topic");
            } else if (!pull.skip()) {
                return false;
            }
        }
        if (pull.failed())
            return false;
    } while (pull.next() == JsonPull::Token::StartObject);
    return false;
}

// A message as a record, on whichever thread reads it.
void packMessage(const rapidjson::Value &m, RecordSink &into);

// One conversation's records: read whole into the chat's records (its text, not the JSON), as
// the export holds them newest first, then handed out in time order, people named as the
// whole conversation names them.
class SkypeReader : public PackedRecords
{
public:
    SkypeReader(std::unique_ptr<QIODevice> device, QString key, ChatPlaces::Noted *noted)
        : m_device(std::move(device))
        , m_pull(*m_device)
        , m_key(std::move(key))
        , m_noted(noted)
    {
    }

    bool load() override;

protected:
    void rewind() override
    {
        m_quotes.clear();
        m_lastId.clear();
        m_lastNamed.clear();
    }
    void handOut(chat::Record &record) override;

private:
    void noteName(const rapidjson::Value &m);
    QString named(const QString &id) const;

    std::unique_ptr<QIODevice> m_device;
    JsonPull m_pull;
    QString m_key;
    ChatPlaces::Noted *m_noted; // where the run noted the conversations, if it does
    QHash<QString, QString> m_names; // id -> name, as messages give them
    std::string m_lastFrom; // and the last pair noted, in the export's bytes
    std::string m_lastName;
    QuoteBook m_quotes;
    QString m_lastId, m_lastNamed; // the last sender handed out
};

bool SkypeReader::load()
{
    const AtConversation at = [this](const QString &key, const Conversation &c) {
        if (key != m_key)
            return false;
        m_chat.name = c.name().isEmpty() ? key : c.name();
        return true;
    };
    const bool entered = walk(m_pull, at, m_noted, m_key);
    if (!entered) {
        //: A Skype export without the conversation asked for (or a damaged one).
        m_error = m_pull.failed()
            ? m_pull.errorString()
            : QCoreApplication::translate("FileError", "the export holds no such chat");
        return false;
    }
    JsonObjects messages(
        m_pull, JsonPull::takeObject, false,
        [](const rapidjson::Value &m, bool, qint64, RecordSink &into) { packMessage(m, into); });
    addObjects(messages, [this](const rapidjson::Value &m, bool) { noteName(m); });
    if (m_pull.failed()) {
        m_error = m_pull.errorString();
        return false;
    }
    sort(true);
    return true;
}

void packMessage(const rapidjson::Value &m, RecordSink &into)
{
    // Its members asked for in the order the export writes them.
    quint32 place = 0;
    const QString id = json::string(m, "id", place);
    const rapidjson::Value *arrived = json::member(m, "originalarrivaltime", place);
    const QString type = json::string(m, "messagetype", place);
    const QString content = json::string(m, "content", place);
    const QString from = json::string(m, "from", place);
    const rapidjson::Value &props = json::at(m, "properties", place);
    const QDateTime at = arrived && arrived->IsString()
        ? isoDateTimeUtf8(QByteArrayView(arrived->GetString(), arrived->GetStringLength()))
        : QDateTime();
    chat::Record r;
    const chat::Moment when = at.isValid() ? chat::Moment::fromInstant(at) : chat::Moment();
    if (skype::isEvent(type)) {
        const QString text = skype::event(type, content, from);
        if (text.isEmpty())
            return;
        r.kind = chat::Record::Kind::Event;
        r.event = {text, from, when};
    } else {
        const skype::Content c = skype::message(type, content);
        chat::Message &msg = r.message;
        msg.id = id;
        msg.sender = from;
        msg.when = when;
        msg.text = c.text;
        msg.replyTo = c.replyTo;
        msg.replySender = c.replySender;
        msg.replyQuote = c.replyQuote;
        msg.attachments = c.attachments;
        msg.edited = c.edited || json::member(props, "edittime");
        if (json::member(props, "deletetime") && msg.text.isEmpty())
            msg.text = {QStringLiteral("(削除されたメッセージ)")};
        if (const rapidjson::Value *emotions = json::member(props, "emotions");
            emotions && emotions->IsArray()) {
            for (const rapidjson::Value &e : emotions->GetArray()) {
                chat::Reaction reaction {skype::emoji(json::string(e, "key")), {}};
                if (const rapidjson::Value *users = json::member(e, "users");
                    users && users->IsArray()) {
                    for (const rapidjson::Value &u : users->GetArray())
                        reaction.by.append(json::string(u, "mri"));
                }
                msg.reactions.append(reaction);
            }
        }
    }
    into.add(at.isValid() ? at.toMSecsSinceEpoch() : RecordSink::Unknown, r);
}

// Most messages repeat the name their sender's last message gave: only a change is noted.
void SkypeReader::noteName(const rapidjson::Value &m)
{
    const rapidjson::Value &from = json::at(m, "from");
    const rapidjson::Value &name = json::at(m, "displayName");
    if (!from.IsString() || !name.IsString() || from.GetStringLength() == 0
        || name.GetStringLength() == 0)
        return;
    const std::string_view id(from.GetString(), from.GetStringLength());
    const std::string_view said(name.GetString(), name.GetStringLength());
    if (id == m_lastFrom && said == m_lastName)
        return;
    m_names.insert(QString::fromUtf8(id.data(), qsizetype(id.size())),
                   QString::fromUtf8(said.data(), qsizetype(said.size())));
    m_lastFrom = id;
    m_lastName = said;
}

QString SkypeReader::named(const QString &id) const
{
    const QString name = m_names.value(id);
    return name.isEmpty() ? skype::idName(id) : name;
}

// People are named once the whole conversation told their names.
void SkypeReader::handOut(chat::Record &r)
{
    if (r.kind == chat::Record::Kind::Event) {
        for (auto it = m_names.cbegin(); it != m_names.cend(); ++it)
            r.event.text.replace(it.key(), it.value());
        // Ids of people never named: "8:live:ann" -> "ann" (not a time's "2:05").
        static const QRegularExpression id(QStringLiteral("\\b\\d+:(live:)?(?=[A-Za-z._])"));
        r.event.text.remove(id);
        r.event.actor = named(r.event.actor);
        return;
    }
    if (r.kind != chat::Record::Kind::Message)
        return;
    chat::Message &msg = r.message;
    // Mostly the sender of the message before: compared, not looked up.
    if (m_lastId.isNull() || msg.sender != m_lastId) {
        m_lastId = msg.sender;
        m_lastNamed = named(msg.sender);
    }
    msg.sender = m_lastNamed;
    if (!msg.reactions.isEmpty()) { // walking an empty list to write would detach it
        for (chat::Reaction &reaction : msg.reactions) {
            for (QString &by : reaction.by)
                by = named(by);
        }
    }
    if (msg.replyQuote.isEmpty())
        m_quotes.fill(msg);
    m_quotes.remember(msg);
}

bool startsAsExport(const QByteArray &head)
{
    return head.contains("\"conversations\"")
        && (head.contains("\"userId\"") || head.contains("\"exportDate\""));
}

} // namespace

QString SkypeFormat::dialogName() const
{
    return QStringLiteral("Skype の書き出し");
}

QStringList SkypeFormat::extensions() const
{
    return {QStringLiteral("TAR"), QStringLiteral("tar")};
}

bool SkypeFormat::holdsChats(const ExportFiles &files) const
{
    const QString name = messagesFile(files);
    return files.contains(name) && startsAsExport(files.head(name, 4096));
}

bool SkypeFormat::chats(const ExportFiles &files, QList<ExportChat> &out, QString *error) const
{
    const std::unique_ptr<QIODevice> device = files.file(messagesFile(files), error);
    if (!device)
        return false;
    JsonPull pull(*device);
    walk(pull, [&](const QString &key, const Conversation &c) {
        out.append({key, c.name().isEmpty() ? key : c.name()});
        return false;
    });
    if (pull.failed() && error)
        *error = pull.errorString();
    return !pull.failed();
}

std::unique_ptr<RecordReader> SkypeFormat::chatReader(std::shared_ptr<const ExportFiles> files,
                                                      const QString &key, ChatPlaces *places) const
{
    std::unique_ptr<QIODevice> device = files->file(messagesFile(*files));
    if (!device)
        return nullptr;
    ChatPlaces::Noted *noted = places ? &places->noted(*files, messagesFile(*files)) : nullptr;
    return readAhead(std::make_unique<SkypeReader>(std::move(device), key, noted));
}
