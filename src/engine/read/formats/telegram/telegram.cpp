#include "engine/read/formats/telegram/telegram.h"

#include "engine/read/chat/quotebook.h"
#include "engine/read/chat/recordlines.h"
#include "engine/read/formats/telegram/telegramtext.h"
#include "engine/read/shared/jsonrecords.h"

#include <QRegularExpression>

namespace {

// "2021-03-04T12:34:56" as written.
chat::Moment moment(const QString &text)
{
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    const QTime time = QTime::fromString(text.mid(11, 8), Qt::ISODate);
    return date.isValid() ? chat::Moment::written(date, time, true) : chat::Moment();
}

class TelegramReader : public JsonRecords
{
public:
    using JsonRecords::JsonRecords;

protected:
    bool enter(JsonPull &pull, chat::Chat &chat) override
    {
        m_quotes.clear();
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
        const QString type = json::string(m, "type");
        const chat::Moment when = moment(json::string(m, "date"));
        if (type == u"service") {
            record.kind = chat::Record::Kind::Event;
            record.event = {telegram::eventText(m), json::string(m, "actor"), when};
            return true;
        }
        if (type != u"message")
            return false;
        chat::Message &msg = record.message;
        msg.id = json::idText(json::at(m, "id"));
        msg.sender = json::string(m, "from");
        if (msg.sender.isEmpty())
            msg.sender = json::string(m, "from_id");
        msg.when = when;
        const QString text = telegram::plainText(json::at(m, "text"));
        if (!text.isEmpty())
            msg.text = text.split(u'\n');
        if (const rapidjson::Value *reply = json::member(m, "reply_to_message_id"))
            msg.replyTo = json::idText(*reply);
        m_quotes.fill(msg);
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
    QuoteBook m_quotes;
};

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
    return std::make_unique<RecordLines>(std::make_unique<TelegramReader>(source.file), source);
}

const char *TelegramFormat::noMessagesText() const
{
    return QT_TRANSLATE_NOOP("RunMessage",
                             "Telegram の書き出しですが、メッセージが一つもありませんでした。");
}
