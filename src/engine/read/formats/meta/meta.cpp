#include "engine/read/formats/meta/meta.h"

#include "engine/read/chat/packedrecords.h"
#include "engine/read/chat/recordlines.h"
#include "engine/read/shared/exportfiles.h"
#include "engine/read/shared/jsonpull.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cstring>
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

// A string as typed, from its UTF-8: Meta's bytes-as-characters put back together, where they
// are that (every character below U+0100, some above U+007F, and their bytes UTF-8 in turn).
QString repaired(QByteArrayView utf8)
{
    qsizetype i = 0;
    while (i < utf8.size() && uchar(utf8[i]) < 0x80)
        ++i;
    if (i == utf8.size()) // no character above U+007F
        return QString::fromUtf8(utf8);
    QByteArray bytes(utf8.size(), Qt::Uninitialized); // the characters as bytes
    char *out = std::copy_n(utf8.data(), i, bytes.data());
    for (; i < utf8.size(); ++i) {
        const uchar c = uchar(utf8[i]);
        if (c < 0x80) {
            *out++ = char(c);
            continue;
        }
        // U+0080 to U+00FF are C2 or C3 and one more byte; anything else is typed as it is.
        const uchar next = i + 1 < utf8.size() ? uchar(utf8[i + 1]) : 0;
        if ((c != 0xC2 && c != 0xC3) || (next & 0xC0) != 0x80)
            return QString::fromUtf8(utf8);
        *out++ = char(((c & 0x03) << 6) | (next & 0x3F));
        ++i;
    }
    bytes.truncate(out - bytes.data());
    const QString decoded = QString::fromUtf8(bytes);
    return decoded.contains(QChar::ReplacementCharacter) ? QString::fromUtf8(utf8) : decoded;
}

// An item whose strings hold only characters below U+0100, those past U+007F written
// "\u00XX" (as Meta writes every string), with those escapes made the bytes they stand for: what
// repaired() would make of its strings then reads straight from them, and RapidJSON reads them
// with no escape to decode. False for any other item, and for one that runs past `text`.
bool unescapedBytes(std::string_view text, std::string &out, size_t &used)
{
    static constexpr auto Hex = [] {
        std::array<signed char, 256> digits {};
        digits.fill(-1);
        for (int i = 0; i < 10; ++i)
            digits['0' + i] = char(i);
        for (int i = 0; i < 6; ++i)
            digits['a' + i] = digits['A' + i] = char(10 + i);
        return digits;
    }();
    // No longer than the text; then a NUL, and room for RapidJSON's SSE2 scan, which reads whole
    // blocks of 16 bytes, up to 15 past the end.
    if (out.size() < text.size() + 16)
        out.resize(text.size() + 16);
    char *q = out.data();
    const char *p = text.data();
    const char *const end = p + text.size();
    int depth = 0;
    bool inString = false;
    while (p < end) {
        const char c = *p;
        if (uchar(c) >= 0x80)
            return false;
        if (inString && c == '\\') {
            if (end - p >= 6 && p[1] == 'u' && p[2] == '0' && p[3] == '0') {
                const int high = Hex[uchar(p[4])], low = Hex[uchar(p[5])];
                if ((high | low) < 0)
                    return false;
                if (high >= 8) { // a byte of the text as typed
                    *q++ = char(high << 4 | low);
                } else {
                    std::memcpy(q, p, 6);
                    q += 6;
                }
                p += 6;
                continue;
            }
            if (end - p < 2 || p[1] == 'u') // a character past U+00FF, or the piece's end
                return false;
            q[0] = c;
            q[1] = p[1];
            q += 2;
            p += 2;
            continue;
        }
        *q++ = c;
        ++p;
        if (c == '"') {
            inString = !inString;
        } else if (inString) {
            continue;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if ((c == '}' || c == ']') && --depth == 0) {
            std::memset(q, 0, 16);
            used = size_t(p - text.data());
            return true;
        }
    }
    return false;
}

// The string `name` of `object` as typed; `bytes`: the object was read by unescapedBytes().
QString str(const rapidjson::Value &object, const char *name, bool bytes)
{
    const rapidjson::Value *v = json::member(object, name);
    if (!v || !v->IsString())
        return QString();
    const QByteArrayView text(v->GetString(), v->GetStringLength());
    if (!bytes)
        return repaired(text);
    // What repaired() gives for characters below U+0100, from their bytes.
    const QString typed = QString::fromUtf8(text);
    return typed.contains(QChar::ReplacementCharacter) ? QString::fromLatin1(text) : typed;
}

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
    const QString uri = str(media, "uri", bytes);
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
    for (const char *media :
         {"photos", "videos", "audio_files", "files", "gifs", "sticker", "share"}) {
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
    // Message `place` of the file `file`: the export gives messages no id, so a message is
    // named by where it stands ("message_1.json#12").
    // `bytes`: the message was read by unescapedBytes().
    void take(const rapidjson::Value &m, const QString &file, qsizetype place, bool bytes);

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
                for (qsizetype place = 1; pull.next() == JsonPull::Token::StartObject; ++place) {
                    item.SetNull();
                    item.GetAllocator().Clear();
                    // The quick way where it reads the message; else as it is written (which
                    // also tells where a broken one breaks).
                    size_t used = 0;
                    bool bytes = unescapedBytes(pull.ahead(), m_bytes, used);
                    if (bytes) {
                        item.Parse<rapidjson::kParseStopWhenDoneFlag>(m_bytes.data());
                        bytes = !item.HasParseError();
                        if (bytes)
                            pull.pass(qint64(used));
                        else {
                            item.SetNull();
                            item.GetAllocator().Clear();
                        }
                    }
                    if (!bytes && !pull.take(item))
                        break;
                    take(item, file, place, bytes);
                }
            } else if (key == "title" || key == "participants") {
                if (!pull.take(item))
                    break;
                if (key == "title" && item.IsString())
                    m_chat.name = repaired(QByteArrayView(item.GetString()));
                else if (item.IsArray() && m_chat.participants.isEmpty()) {
                    for (const rapidjson::Value &p : item.GetArray())
                        m_chat.participants.append(str(p, "name", false));
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

void MetaReader::take(const rapidjson::Value &m, const QString &file, qsizetype place, bool bytes)
{
    const qint64 ms = json::integer(m, "timestamp_ms", 0);
    chat::Record r;
    const chat::Moment when = ms > 0 ? chat::Moment::fromEpochMs(ms) : chat::Moment();
    const QString type = json::string(m, "type");
    const QString sender = str(m, "sender_name", bytes);
    QString content = str(m, "content", bytes);
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
        add(ms > 0 ? ms : Unknown, r);
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
    const std::pair<const char *, const char *> kinds[] = {
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
        const QString link = str(*share, "link", bytes);
        if (!link.isEmpty() && !content.contains(link))
            msg.attachments.append({link, QStringLiteral("リンク"), -1, QString()});
    }
    if (const rapidjson::Value *list = json::member(m, "reactions"); list && list->IsArray()) {
        // One emoji's people together; newer exports repeat some reactions.
        for (const rapidjson::Value &reaction : list->GetArray()) {
            const QString emoji = str(reaction, "reaction", bytes);
            const QString actor = str(reaction, "actor", bytes);
            const auto same = std::find_if(msg.reactions.begin(), msg.reactions.end(),
                                           [&emoji](const auto &r) { return r.emoji == emoji; });
            if (same == msg.reactions.end())
                msg.reactions.append({emoji, {actor}});
            else if (!same->by.contains(actor))
                same->by.append(actor);
        }
    }
    add(ms > 0 ? ms : Unknown, r);
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
    return std::make_unique<RecordLines>(std::make_unique<MetaReader>(folder, names), source);
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
                title = repaired(QByteArrayView(doc.GetString()));
        }
        out.append({key, title.isEmpty() ? key : title});
    }
    return true;
}

std::unique_ptr<RecordReader> MetaFormat::chatReader(std::shared_ptr<const ExportFiles> files,
                                                     const QString &key) const
{
    for (const auto &[threadKey, folder] : threads(*files)) {
        if (threadKey == key)
            return std::make_unique<MetaReader>(files, messageFiles(*files, folder));
    }
    return nullptr;
}
