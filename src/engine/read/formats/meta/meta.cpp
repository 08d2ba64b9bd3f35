#include "engine/read/formats/meta/meta.h"

#include "engine/read/chat/aheadrecords.h"
#include "engine/read/chat/packedrecords.h"
#include "engine/read/chat/recordlines.h"
#include "engine/read/formats/meta/metatext.h"
#include "engine/read/shared/exportfiles.h"
#include "engine/read/shared/jsonpull.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <string_view>
#include <vector>

namespace {

// Where the exports of the years put their threads, and the kinds of thread folders.
const QStringList Roots = {
    QStringLiteral("messages"),
    QStringLiteral("your_instagram_activity/messages"),
    QStringLiteral("your_activity_across_facebook/messages"),
    QStringLiteral("your_facebook_activity/messages"),
};
const QStringList Sections = {
    QStringLiteral("inbox"),
    QStringLiteral("archived_threads"),
    QStringLiteral("message_requests"),
    QStringLiteral("filtered_threads"),
    QStringLiteral("e2ee_cutover"),
};

// The thread folders of an export: key -> folder.
QList<std::pair<QString, QString>> threads(const ExportFiles &files)
{
    QList<std::pair<QString, QString>> out;
    for (const QString &root : Roots) {
        for (const QString &section : Sections) {
            const QString folder = root + u'/' + section;
            for (const QString &thread : files.children(folder)) {
                const QString key = section == u"inbox" ? thread : section + u'~' + thread;
                out.append({key, folder + u'/' + thread});
            }
        }
    }
    return out;
}

// The message_N.json files of a thread folder ("" for the files' own folder), by N.
QStringList messageFiles(const ExportFiles &files, const QString &folder)
{
    static const QRegularExpression name(QStringLiteral("^message_(\\d+)\\.json$"));
    QList<std::pair<int, QString>> found;
    for (const QString &child : files.children(folder)) {
        const QRegularExpressionMatch m = name.match(child);
        if (m.hasMatch())
            found.append({m.captured(1).toInt(), folder.isEmpty() ? child : folder + u'/' + child});
    }
    std::sort(found.begin(), found.end());
    QStringList out;
    for (const auto &f : found)
        out.append(f.second);
    return out;
}

chat::Attachment attachment(const rapidjson::Value &media, const QString &kind, bool bytes)
{
    const QString uri = meta::str(media, "uri", bytes);
    return {uri.mid(uri.lastIndexOf(u'/') + 1), kind, -1, uri};
}

// Whether a message is a notice of the chat's: older exports tell by its type, newer ones only
// by what it holds (the people added or removed, a call's length) or by its words.
bool isEvent(const rapidjson::Value &m, const QString &type, const QString &content)
{
    if (type == u"Subscribe" || type == u"Unsubscribe" || type == u"Call")
        return true;
    if (!type.isEmpty() && type != u"Generic")
        return false;
    if (type.isEmpty() && (json::member(m, "users") || json::member(m, "call_duration")))
        return true;
    using namespace std::string_view_literals;
    for (const std::string_view media :
         {"photos"sv, "videos"sv, "audio_files"sv, "files"sv, "gifs"sv, "sticker"sv, "share"sv}) {
        if (json::member(m, media))
            return false;
    }
    // Every notice below says "the" or "nickname"; most messages say neither.
    const std::u16string_view text(reinterpret_cast<const char16_t *>(content.utf16()),
                                   size_t(content.size()));
    if (text.find(u" the ") == text.npos && text.find(u"nickname") == text.npos)
        return false;
    static const QRegularExpression notice(QStringLiteral(
        "^[^\\n]+ (created the group|named the group [^\\n]+|removed the group name"
        "|changed the group photo|removed the group photo|changed the chat theme"
        "|changed the theme to [^\\n]+|set the (emoji|quick reaction) to [^\\n]+"
        "|set the nickname for [^\\n]+ to [^\\n]+|set (his|her|their|your) own nickname to [^\\n]+"
        "|set your nickname to [^\\n]+|cleared (the|your|his|her|their) (own )?nickname[^\\n]*"
        "|joined the (video chat|call)|left the group|added [^\\n]+ to the group"
        "|removed [^\\n]+ from the group)\\.?$"));
    return notice.match(content).hasMatch();
}

void packMessage(const rapidjson::Value &m, const QString &file, qint64 place, bool bytes,
                 RecordSink &into);

// A thread's records, from all its files, in time order.
class MetaReader : public PackedRecords
{
public:
    MetaReader(std::shared_ptr<const ExportFiles> files, QStringList names)
        : m_files(std::move(files))
        , m_names(std::move(names))
    {
    }

    bool load() override;

private:
    bool read(const QString &name);
    bool readMessage(JsonPull &pull, rapidjson::Document &into, bool &bytes);

    std::shared_ptr<const ExportFiles> m_files;
    QStringList m_names;
    std::string m_bytes; // a message as unescapedBytes() wrote it
};

bool MetaReader::load()
{
    if (m_names.isEmpty()) {
        m_error = QCoreApplication::translate("FileError", "the export holds no such chat");
        return false;
    }
    for (const QString &name : m_names) {
        if (!read(name))
            return false;
    }
    sort(true); // message_1 holds the newest, each file newest first
    return true;
}

bool MetaReader::read(const QString &name)
{
    QString error;
    const std::unique_ptr<QIODevice> device = m_files->file(name, &error);
    if (!device) {
        m_error = name + QStringLiteral(": ") + error;
        return false;
    }
    JsonPull pull(*device);
    rapidjson::Document item;
    if (pull.next() == JsonPull::Token::StartObject) {
        while (pull.next() == JsonPull::Token::Key) {
            const std::string key(pull.text());
            if (key == "messages" && pull.next() == JsonPull::Token::StartArray) {
                const QString file = name.mid(name.lastIndexOf(u'/') + 1);
                JsonObjects messages(
                    pull,
                    [this](JsonPull &p, rapidjson::Document &into, bool &bytes) {
                        return readMessage(p, into, bytes);
                    },
                    false,
                    [file](const rapidjson::Value &m, bool bytes, qint64 index, RecordSink &into) {
                        packMessage(m, file, index + 1, bytes, into);
                    });
                addObjects(messages);
            } else if (key == "title" || key == "participants") {
                if (!pull.take(item))
                    break;
                if (key == "title" && item.IsString())
                    m_chat.name = meta::repaired(QByteArrayView(item.GetString()));
                else if (item.IsArray() && m_chat.participants.isEmpty()) {
                    for (const rapidjson::Value &p : item.GetArray())
                        m_chat.participants.append(meta::str(p, "name", false));
                }
            } else if (!pull.skip()) {
                break;
            }
        }
    }
    if (pull.failed() || pull.token() != JsonPull::Token::EndObject) {
        m_error = name + QStringLiteral(": ")
            + (pull.failed() ? pull.errorString()
                             : QCoreApplication::translate("FileError",
                                                           "the JSON holds no list of messages"));
        return false;
    }
    return true;
}

// The quick way where it reads the message; else as it is written (which also tells where a
// broken one breaks). Its strings are then bytes of UTF-8 already, or still Meta's escapes.
bool MetaReader::readMessage(JsonPull &pull, rapidjson::Document &into, bool &bytes)
{
    size_t used = 0;
    bytes = meta::unescapedBytes(pull.ahead(), m_bytes, used);
    if (bytes) {
        into.Parse<rapidjson::kParseStopWhenDoneFlag>(m_bytes.data());
        bytes = !into.HasParseError();
        if (bytes) {
            pull.pass(qint64(used));
            return true;
        }
        into.SetNull();
    }
    return pull.take(into);
}

// Message `place` of the file `file`: the export gives messages no id, so a message is named by
// where it stands ("message_1.json#12"). `bytes`: the message was read by unescapedBytes().
void packMessage(const rapidjson::Value &m, const QString &file, qint64 place, bool bytes,
                 RecordSink &into)
{
    const qint64 ms = json::integer(m, "timestamp_ms", 0);
    chat::Record r;
    const chat::Moment when = ms > 0 ? chat::Moment::fromEpochMs(ms) : chat::Moment();
    const QString type = json::string(m, "type");
    const QString sender = meta::str(m, "sender_name", bytes);
    QString content = meta::str(m, "content", bytes);
    if (isEvent(m, type, content)) {
        r.kind = chat::Record::Kind::Event;
        // A call: older exports say nothing of it, newer ones what happened ("The video call
        // ended."), both how long it lasted.
        if (const qint64 seconds = json::integer(m, "call_duration", 0);
            type == u"Call" && content.isEmpty())
            content = seconds > 0 ? sender + QStringLiteral(" の通話 (%1 秒)").arg(seconds)
                                  : sender + QStringLiteral(" からの不在着信");
        else if (seconds > 0)
            content += QStringLiteral(" (%1 秒)").arg(seconds);
        r.event = {content.isEmpty() ? sender : content, sender, when};
        into.add(ms > 0 ? ms : RecordSink::Unknown, r);
        return;
    }
    chat::Message &msg = r.message;
    msg.id = file + u'#' + QString::number(place);
    msg.sender = sender;
    msg.when = when;
    if (content.contains(u'\n'))
        msg.text = content.split(u'\n');
    else if (!content.isEmpty())
        msg.text = {content};
    if (json::boolean(m, "is_unsent"))
        msg.text.append(QStringLiteral("(送信取り消し)"));
    const std::pair<std::string_view, const char *> kinds[] = {
        {"photos", "写真"},    {"videos", "動画"}, {"audio_files", "音声"},
        {"files", "ファイル"}, {"gifs", "GIF"},
    };
    for (const auto &[field, kind] : kinds) {
        if (const rapidjson::Value *list = json::member(m, field); list && list->IsArray()) {
            for (const rapidjson::Value &media : list->GetArray())
                msg.attachments.append(attachment(media, QString::fromUtf8(kind), bytes));
        }
    }
    if (const rapidjson::Value *sticker = json::member(m, "sticker");
        sticker && sticker->IsObject())
        msg.attachments.append(attachment(*sticker, QStringLiteral("スタンプ"), bytes));
    if (const rapidjson::Value *share = json::member(m, "share"); share && share->IsObject()) {
        const QString link = meta::str(*share, "link", bytes);
        if (!link.isEmpty() && !content.contains(link))
            msg.attachments.append({link, QStringLiteral("リンク"), -1, QString()});
    }
    if (const rapidjson::Value *list = json::member(m, "reactions"); list && list->IsArray()) {
        // One emoji's people together; newer exports repeat some reactions.
        for (const rapidjson::Value &reaction : list->GetArray()) {
            const QString emoji = meta::str(reaction, "reaction", bytes);
            const QString actor = meta::str(reaction, "actor", bytes);
            const auto same = std::find_if(msg.reactions.begin(), msg.reactions.end(),
                                           [&emoji](const auto &r) { return r.emoji == emoji; });
            if (same == msg.reactions.end())
                msg.reactions.append({emoji, {actor}});
            else if (!same->by.contains(actor))
                same->by.append(actor);
        }
    }
    into.add(ms > 0 ? ms : RecordSink::Unknown, r);
}

} // namespace

QString MetaFormat::dialogName() const
{
    return QStringLiteral("Instagram・Messenger の書き出し");
}

QStringList MetaFormat::extensions() const
{
    return {QStringLiteral("ZIP"), QStringLiteral("zip")};
}

Sureness MetaFormat::byHead(QStringView head) const
{
    // One thread's file: its participants, then its messages with their senders.
    const QStringView start = head.left(8192);
    return start.trimmed().startsWith(u'{') && start.contains(u"\"participants\"")
            && (start.contains(u"\"sender_name\"") || start.contains(u"\"magic_words\""))
        ? Sureness::Sure
        : Sureness::No;
}

std::unique_ptr<FormatReader> MetaFormat::reader(const ReadSource &source) const
{
    // A thread's message_N.json read with the others beside it; any other name alone.
    const QFileInfo file(source.diskPath);
    std::shared_ptr<const ExportFiles> folder = ExportFiles::open(file.absolutePath());
    QStringList names = folder ? messageFiles(*folder, QString()) : QStringList();
    if (!names.contains(file.fileName())) {
        folder = ExportFiles::single(file.absoluteFilePath());
        names = {file.fileName()};
    }
    return std::make_unique<RecordLines>(readAhead(std::make_unique<MetaReader>(folder, names)),
                                         source);
}

bool MetaFormat::isPartOfLog(const QString &path) const
{
    // A thread's later pages are read with its first.
    static const QRegularExpression page(QStringLiteral("^message_(\\d+)\\.json$"));
    const QFileInfo file(path);
    const QRegularExpressionMatch m = page.match(file.fileName());
    return m.hasMatch() && m.captured(1).toInt() > 1
        && file.dir().exists(QStringLiteral("message_1.json"));
}

bool MetaFormat::holdsChats(const ExportFiles &files) const
{
    if (files.isSingle())
        return false;
    for (const QString &root : Roots) {
        if (!files.children(root + QStringLiteral("/inbox")).isEmpty())
            return true;
    }
    return false;
}

bool MetaFormat::chats(const ExportFiles &files, QList<ExportChat> &out, QString *) const
{
    // Named by the title of each thread's first file.
    for (const auto &[key, folder] : threads(files)) {
        const QStringList names = messageFiles(files, folder);
        if (names.isEmpty())
            continue;
        QString title;
        static const QRegularExpression titled(
            QStringLiteral("\"title\":\\s*\"((?:[^\"\\\\]|\\\\.)*)\""));
        const QByteArray head = files.head(names.first(), 1 << 20);
        const QRegularExpressionMatch m = titled.match(QString::fromUtf8(head));
        if (m.hasMatch()) {
            rapidjson::Document doc;
            const QByteArray quoted = '"' + m.captured(1).toUtf8() + '"';
            doc.Parse(quoted.constData(), size_t(quoted.size()));
            if (doc.IsString())
                title = meta::repaired(QByteArrayView(doc.GetString()));
        }
        out.append({key, title.isEmpty() ? key : title});
    }
    return true;
}

std::unique_ptr<RecordReader> MetaFormat::chatReader(std::shared_ptr<const ExportFiles> files,
                                                     const QString &key, ChatPlaces *) const
{
    for (const auto &[threadKey, folder] : threads(*files)) {
        if (threadKey == key)
            return readAhead(std::make_unique<MetaReader>(files, messageFiles(*files, folder)));
    }
    return nullptr;
}
