#include "engine/read/formats/telegram/telegram.h"

#include "engine/read/chat/aheadrecords.h"
#include "engine/read/chat/quotebook.h"
#include "engine/read/chat/recordlines.h"
#include "engine/read/formats/telegram/telegramtext.h"
#include "engine/read/shared/chatkeys.h"
#include "engine/read/shared/chatplaces.h"
#include "engine/read/shared/exportfiles.h"
#include "engine/read/shared/isotime.h"
#include "engine/read/shared/jsonrecords.h"

#include <QRegularExpression>

namespace {

// "2021-03-04T12:34:56" as written.
chat::Moment moment(const QString &text)
{
    QDate written;
    QTime at;
    if (isoDateAndTime(text, written, at))
        return chat::Moment::written(written, at, true);
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    const QTime time = QTime::fromString(text.mid(11, 8), Qt::ISODate);
    return date.isValid() ? chat::Moment::written(date, time, true) : chat::Moment();
}

using AtChat = std::function<bool(const QString &key, const QString &name)>;

// Up to the first chat of a whole account's export: false when it holds none.
bool enterChats(JsonPull &pull)
{
    return pull.next() == JsonPull::Token::StartObject && pull.seekKey("chats")
        && pull.next() == JsonPull::Token::StartObject && pull.seekKey("list")
        && pull.next() == JsonPull::Token::StartArray
        && pull.next() == JsonPull::Token::StartObject;
}

// Walks the chats of a whole account's export ({"about", "personal_information", …, "chats":
// {"about", "list": [chat, …]}}), each up to its messages: `chat` is told each one's key and
// name and returns true to stop there, the pull just past the StartArray of its messages.
// Where the run notes places in the export (`noted`), the walk starts at the place of the chat
// `wanted`, else at the furthest one noted, and notes those it passes.
bool walkAccount(JsonPull &pull, const AtChat &chat, ChatPlaces::Noted *noted = nullptr,
                 const QString &wanted = QString())
{
    ChatWalk chats(noted, wanted);
    if (!chats.begin(pull, enterChats))
        return false;
    do { // at a chat's StartObject
        chats.atChat(pull);
        QString name, id;
        while (pull.next() == JsonPull::Token::Key) {
            const std::string key(pull.text());
            if (key == "messages") {
                const QString chatKey = chats.key(name, id);
                const bool stops = chat(chatKey, name.isEmpty() ? chatKey : name);
                const bool goesOn = chats.passed(chatKey, stops);
                if (stops)
                    return pull.next() == JsonPull::Token::StartArray;
                if (!goesOn || !pull.skip())
                    return false;
            } else if (key == "name" || key == "id") {
                const JsonPull::Token t = pull.next();
                (key == "name" ? name : id) = t == JsonPull::Token::Number
                    ? QString::fromUtf8(pull.numberText().data(),
                                        qsizetype(pull.numberText().size()))
                    : pull.string();
                if (t == JsonPull::Token::StartObject || t == JsonPull::Token::StartArray)
                    pull.skip();
            } else if (!pull.skip()) {
                return false;
            }
        }
        if (pull.failed())
            return false;
    } while (pull.next() == JsonPull::Token::StartObject);
    return false;
}

class TelegramReader : public JsonRecords
{
public:
    using JsonRecords::JsonRecords;
    // One chat of a whole account's export.
    TelegramReader(std::unique_ptr<QIODevice> device, QString key, ChatPlaces::Noted *noted)
        : JsonRecords(std::move(device))
        , m_key(std::move(key))
        , m_noted(noted)
    {
    }

protected:
    bool enter(JsonPull &pull, chat::Chat &chat) override
    {
        m_quotes.clear();
        if (!m_key.isEmpty()) {
            const AtChat at = [&](const QString &key, const QString &name) {
                chat.name = name;
                return key == m_key;
            };
            return walkAccount(pull, at, m_noted, m_key);
        }
        if (pull.next() != JsonPull::Token::StartObject)
            return false;
        while (pull.next() == JsonPull::Token::Key) {
            const std::string key(pull.text());
            if (key == "messages")
                return pull.next() == JsonPull::Token::StartArray;
            if (key == "name") {
                if (pull.next() == JsonPull::Token::String)
                    chat.name = pull.string();
                else if (pull.token() == JsonPull::Token::Error)
                    return false;
            } else if (!pull.skip()) {
                return false;
            }
        }
        return false;
    }

    bool convert(const rapidjson::Value &m, chat::Record &record) override
    {
        const rapidjson::Value &typed = json::at(m, "type");
        const std::string_view type = typed.IsString()
            ? std::string_view(typed.GetString(), typed.GetStringLength())
            : std::string_view();
        const chat::Moment when = moment(json::string(m, "date"));
        if (type == "service") {
            record.kind = chat::Record::Kind::Event;
            record.event = {telegram::eventText(m), json::string(m, "actor"), when};
            return true;
        }
        if (type != "message")
            return false;
        chat::Message &msg = record.message;
        msg.id = json::idText(json::at(m, "id"));
        msg.sender = json::string(m, "from");
        if (msg.sender.isEmpty())
            msg.sender = json::string(m, "from_id");
        msg.when = when;
        const QString text = telegram::plainText(json::at(m, "text"));
        if (!text.isEmpty())
            msg.text = {text}; // its line breaks are turned into lines where it is shown
        msg.text += telegram::poll(m);
        if (const rapidjson::Value *reply = json::member(m, "reply_to_message_id")) {
            msg.replyTo = json::idText(*reply);
            // An answer to a message of another chat: the id is not one of this chat's.
            if (json::member(m, "reply_to_peer_id"))
                msg.replyTo += QStringLiteral(" (別のチャットのメッセージ)");
            else
                m_quotes.fill(msg);
        }
        msg.edited = json::member(m, "edited") != nullptr;
        msg.forwardedFrom = json::string(m, "forwarded_from");
        msg.forwarded = json::member(m, "forwarded_from") != nullptr;
        if (auto a = telegram::attachment(m))
            msg.attachments.append(*a);
        msg.reactions = telegram::reactions(m);
        m_quotes.remember(msg);
        return true;
    }

private:
    QString m_key;
    ChatPlaces::Noted *m_noted = nullptr; // where the run notes the chats, if it does
    QuoteBook m_quotes;
};

// Whether a file's start is that of a whole account's export.
bool startsAsAccount(const QByteArray &head)
{
    const qsizetype chats = head.indexOf("\"chats\"");
    return head.trimmed().startsWith('{')
        && (head.contains("\"personal_information\"")
            || (chats >= 0 && head.indexOf("\"list\"", chats) >= 0 && head.contains("\"about\"")));
}

} // namespace

QStringList TelegramFormat::extensions() const
{
    return {QStringLiteral("JSON"), QStringLiteral("json")};
}

QString TelegramFormat::dialogName() const
{
    return QStringLiteral("Telegram の書き出し");
}

Sureness TelegramFormat::byHead(QStringView head) const
{
    // One chat: its name (or none), then its type, as Telegram Desktop writes them.
    static const QRegularExpression chat(QStringLiteral(
        "^\\s*\\{\\s*(\"name\":\\s*(\"([^\"\\\\]|\\\\.)*\"|null),\\s*)?\"type\":\\s*\""
        "(personal_chat|private_group|private_supergroup|public_supergroup|private_channel|"
        "public_channel|saved_messages|bot_chat)\""));
    return chat.match(head.left(4096).toString()).hasMatch() ? Sureness::Sure : Sureness::No;
}

std::unique_ptr<FormatReader> TelegramFormat::reader(const ReadSource &source) const
{
    return std::make_unique<RecordLines>(readAhead(std::make_unique<TelegramReader>(source.file)),
                                         source);
}

const char *TelegramFormat::noMessagesText() const
{
    return QT_TRANSLATE_NOOP("RunMessage",
                             "Telegram の書き出しですが、メッセージが一つもありませんでした。");
}

bool TelegramFormat::holdsChats(const ExportFiles &files) const
{
    // The account's result.json alone, or the folder or ZIP it was exported to.
    const QStringList names
        = files.isSingle() ? files.names() : QStringList {QStringLiteral("result.json")};
    return files.contains(names.first()) && startsAsAccount(files.head(names.first()));
}

namespace {

QString accountFile(const ExportFiles &files)
{
    return files.isSingle() ? files.names().first() : QStringLiteral("result.json");
}

} // namespace

bool TelegramFormat::chats(const ExportFiles &files, QList<ExportChat> &out, QString *error) const
{
    const std::unique_ptr<QIODevice> device = files.file(accountFile(files), error);
    if (!device)
        return false;
    JsonPull pull(*device);
    walkAccount(pull, [&](const QString &key, const QString &name) {
        out.append({key, name});
        return false;
    });
    if (pull.failed() && error)
        *error = pull.errorString();
    return !pull.failed();
}

std::unique_ptr<RecordReader> TelegramFormat::chatReader(std::shared_ptr<const ExportFiles> files,
                                                         const QString &key,
                                                         ChatPlaces *places) const
{
    std::unique_ptr<QIODevice> device = files->file(accountFile(*files));
    if (!device)
        return nullptr;
    ChatPlaces::Noted *noted = places ? &places->noted(*files, accountFile(*files)) : nullptr;
    return readAhead(std::make_unique<TelegramReader>(std::move(device), key, noted));
}
