#include "engine/read/formats/xarchive/xarchive.h"

#include "engine/read/chat/sortedrecords.h"
#include "engine/read/formats/xarchive/xarchivecontent.h"
#include "engine/read/shared/chatkeys.h"
#include "engine/read/shared/exportfiles.h"
#include "engine/read/shared/jsonpull.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

// "direct-messages.js", "direct-message-group.js", "direct-messages-part2.js"; not the headers.
const QRegularExpression
    FileName(QStringLiteral("(^|/)direct-messages?(-group)?(-part(\\d+))?\\.js$"));

bool startsAsMessages(const QByteArray &head)
{
    static const QRegularExpression start(
        QStringLiteral("^\\s*window\\.YTD\\.direct_messages?(_group)?\\.part\\d+\\s*="));
    return start.match(QString::fromLatin1(head.left(128))).hasMatch();
}

// The files of messages: one-to-one before groups, each in the order of its parts.
QStringList messageFiles(const ExportFiles &files)
{
    QStringList out;
    for (const QString &name : files.names()) {
        if (files.isSingle() ? startsAsMessages(files.head(name, 128))
                             : FileName.match(name).hasMatch())
            out.append(name);
    }
    const auto rank = [](const QString &name) {
        const QRegularExpressionMatch m = FileName.match(name);
        return std::pair(m.capturedLength(2) > 0, m.captured(4).toInt());
    };
    std::stable_sort(out.begin(), out.end(),
                     [&](const QString &a, const QString &b) { return rank(a) < rank(b); });
    return out;
}

// The owner as account.js tells: beside the messages, or for a file alone, beside it on disk.
xarchive::People owner(const ExportFiles &files, const QStringList &messages)
{
    std::unique_ptr<QIODevice> device;
    if (files.isSingle()) {
        device = std::make_unique<QFile>(
            QFileInfo(files.path()).dir().filePath(QStringLiteral("account.js")));
        if (!device->open(QIODevice::ReadOnly))
            return {};
    } else {
        const QString first = messages.value(0);
        const QString name = first.left(first.lastIndexOf(u'/') + 1) + QStringLiteral("account.js");
        if (!files.contains(name))
            return {};
        device = files.file(name);
        if (!device)
            return {};
    }
    JsonPull pull(*device);
    pull.skipAssignment();
    rapidjson::Document doc;
    if (pull.next() != JsonPull::Token::StartArray || pull.next() != JsonPull::Token::StartObject
        || !pull.take(doc))
        return {};
    const rapidjson::Value &account = json::at(doc, "account");
    xarchive::People people {json::idText(json::at(account, "accountId")),
                             json::string(account, "accountDisplayName")};
    if (people.ownerName.isEmpty())
        people.ownerName = json::string(account, "username");
    return people;
}

// What a walk over the conversations is told: whether to read one's items (by its id), each
// item read, and each conversation's end with the name it gave itself.
struct Walk
{
    std::function<bool(const QString &id)> wanted;
    std::function<void(const QString &id, const rapidjson::Value &item)> item;
    std::function<void(const QString &id, const QString &name, bool group)> ended;
};

bool walkFile(JsonPull &pull, bool group, const Walk &walk)
{
    pull.skipAssignment();
    if (pull.next() != JsonPull::Token::StartArray)
        return false;
    rapidjson::Document item;
    while (pull.next() == JsonPull::Token::StartObject) {
        if (!pull.seekKey("dmConversation")) {
            if (pull.failed())
                return false;
            continue;
        }
        if (pull.next() != JsonPull::Token::StartObject)
            return false;
        QString id, name;
        while (pull.next() == JsonPull::Token::Key) {
            const std::string key(pull.text());
            if (key == "conversationId" || key == "name") {
                pull.next();
                (key == "name" ? name : id) = pull.token() == JsonPull::Token::String
                    ? pull.string()
                    : QString::fromUtf8(pull.numberText().data(),
                                        qsizetype(pull.numberText().size()));
            } else if (key == "messages" && walk.wanted(id)) {
                if (pull.next() != JsonPull::Token::StartArray)
                    return false;
                while (pull.next() == JsonPull::Token::StartObject) {
                    item.SetNull();
                    item.GetAllocator().Clear();
                    if (!pull.take(item))
                        return false;
                    walk.item(id, item);
                }
                if (pull.failed())
                    return false;
            } else if (!pull.skip()) {
                return false;
            }
        }
        if (pull.failed())
            return false;
        // Past the conversation's object, to the end of its wrapper.
        while (pull.next() == JsonPull::Token::Key) {
            if (!pull.skip())
                return false;
        }
        if (pull.failed())
            return false;
        walk.ended(id, name, group || !id.contains(u'-'));
    }
    return !pull.failed();
}

bool walkAll(const ExportFiles &files, const QStringList &names, const Walk &walk, QString *error)
{
    for (const QString &name : names) {
        const std::unique_ptr<QIODevice> device = files.file(name, error);
        if (!device)
            return false;
        JsonPull pull(*device);
        if (!walkFile(pull, name.contains(QStringLiteral("group")), walk)) {
            if (error) {
                //: X's archive: a file of direct messages that is not the list it should be.
                *error = name + QStringLiteral(": ")
                    + (pull.failed() ? pull.errorString()
                                     : QCoreApplication::translate(
                                         "FileError", "the file holds no list of conversations"));
            }
            return false;
        }
    }
    return true;
}

// One conversation as the list of chats gives it.
struct Listed
{
    QString id;
    QString key;
    QString name;
    QStringList people; // ids, as they appear
};

bool list(const ExportFiles &files, const QStringList &names, const xarchive::People &people,
          std::vector<Listed> &out, QString *error)
{
    struct Seen
    {
        QString name;
        QString renamed; // the newest rename, the first one met
        QStringList ids;
        bool group = false;
    };
    QStringList order;
    QHash<QString, Seen> seen;
    const Walk walk {
        [](const QString &) { return true; },
        [&](const QString &id, const rapidjson::Value &item) {
            Seen &s = seen[id];
            if (s.renamed.isEmpty())
                s.renamed = xarchive::renamedTo(item);
            for (const QString &one : xarchive::ids(item)) {
                if (!s.ids.contains(one))
                    s.ids.append(one);
            }
        },
        [&](const QString &id, const QString &name, bool group) {
            if (!order.contains(id))
                order.append(id);
            Seen &s = seen[id];
            if (!name.isEmpty())
                s.name = name;
            s.group = s.group || group;
            // A one-to-one conversation's id holds both people's ids ("12-34").
            if (!group) {
                for (const QString &one : id.split(u'-')) {
                    if (!s.ids.contains(one))
                        s.ids.append(one);
                }
            }
        },
    };
    if (!walkAll(files, names, walk, error))
        return false;
    ChatKeys keys;
    for (const QString &id : order) {
        const Seen &s = seen[id];
        QStringList others;
        for (const QString &one : s.ids) {
            if (one != people.ownerId)
                others.append(people.name(one));
        }
        QString name = s.name.isEmpty() ? s.renamed : s.name;
        if (name.isEmpty() && !others.isEmpty()) {
            name = others.mid(0, 3).join(QStringLiteral(", "));
            if (others.size() > 3)
                name += QStringLiteral(" ほか %1 人").arg(others.size() - 3);
        }
        const QString key = keys.next(name, id);
        out.push_back({id, key, name.isEmpty() ? key : name, s.ids});
    }
    return true;
}

// One conversation's records, read whole from every file that holds part of it, and handed out
// oldest first (the archive writes them newest first).
class XArchiveReader : public SortedRecords
{
public:
    XArchiveReader(std::shared_ptr<const ExportFiles> files, QString key)
        : m_files(std::move(files))
        , m_key(std::move(key))
    {
    }

    bool load() override;

private:
    QString mediaPath(const QString &folder, const QString &fileName) const;

    std::shared_ptr<const ExportFiles> m_files;
    QString m_key;
};

QString XArchiveReader::mediaPath(const QString &folder, const QString &fileName) const
{
    for (const char *media : {"direct_messages_media/", "direct_messages_group_media/"}) {
        const QString path = folder + QLatin1String(media) + fileName;
        if (m_files->isSingle() ? QFileInfo::exists(QFileInfo(m_files->path()).dir().filePath(path))
                                : m_files->contains(path))
            return path;
    }
    return {};
}

bool XArchiveReader::load()
{
    const QStringList names = messageFiles(*m_files);
    const xarchive::People people = owner(*m_files, names);
    std::vector<Listed> listed;
    if (!list(*m_files, names, people, listed, &m_error))
        return false;
    const auto it = std::find_if(listed.begin(), listed.end(),
                                 [&](const Listed &l) { return l.key == m_key; });
    if (it == listed.end()) {
        //: X's archive without the conversation asked for.
        m_error = QCoreApplication::translate("FileError", "the export holds no such chat");
        return false;
    }
    m_chat.name = it->name;
    for (const QString &id : it->people)
        m_chat.participants.append(people.name(id));
    const QString wanted = it->id;
    QString folder;
    const xarchive::MediaPath media = [&](const QString &file) {
        return mediaPath(folder, file);
    };
    const Walk walk {
        [&](const QString &id) { return id == wanted; },
        [&](const QString &, const rapidjson::Value &item) {
            chat::Record record;
            QDateTime at;
            if (xarchive::record(item, people, media, record, at))
                add(at.isValid() ? at.toMSecsSinceEpoch() : Unknown, std::move(record));
        },
        [](const QString &, const QString &, bool) {},
    };
    for (const QString &name : names) {
        folder = m_files->isSingle() ? QString() : name.left(name.lastIndexOf(u'/') + 1);
        if (!walkAll(*m_files, {name}, walk, &m_error))
            return false;
    }
    sort(true);
    return true;
}

} // namespace

QString XArchiveFormat::dialogName() const
{
    return QStringLiteral("X のアーカイブ");
}

QStringList XArchiveFormat::extensions() const
{
    return {QStringLiteral("ZIP"), QStringLiteral("zip")};
}

bool XArchiveFormat::holdsChats(const ExportFiles &files) const
{
    for (const QString &name : messageFiles(files)) {
        if (startsAsMessages(files.head(name, 128)))
            return true;
    }
    return false;
}

bool XArchiveFormat::chats(const ExportFiles &files, QList<ExportChat> &out, QString *error) const
{
    const QStringList names = messageFiles(files);
    std::vector<Listed> listed;
    if (!list(files, names, owner(files, names), listed, error))
        return false;
    for (const Listed &l : listed)
        out.append({l.key, l.name});
    return true;
}

std::unique_ptr<RecordReader> XArchiveFormat::chatReader(std::shared_ptr<const ExportFiles> files,
                                                         const QString &key) const
{
    return std::make_unique<XArchiveReader>(std::move(files), key);
}
