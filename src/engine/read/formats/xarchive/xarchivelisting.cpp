#include "engine/read/formats/xarchive/xarchivelisting.h"

#include "engine/read/shared/chatkeys.h"
#include "engine/read/shared/exportfiles.h"
#include "engine/read/shared/jsonpull.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <functional>

namespace xarchive {

namespace {

// "direct-messages.js", "direct-message-group.js", "direct-messages-part2.js"; not the headers.
// Where an archive keeps them: in its data/ folder (under one folder of the archive's own name
// at most), or at the top of the data/ folder given alone; a folder that merely holds such a
// file somewhere deeper down is no archive.
const QRegularExpression
    FileName(QStringLiteral("^(?:(?:[^/]+/)?data/)?direct-messages?(-group)?(-part(\\d+))?\\.js$"));

// The owner as account.js tells: beside the messages, or for a file alone, beside it on disk.
People owner(const ExportFiles &files, const QStringList &messages)
{
    std::unique_ptr<QIODevice> device;
    if (files.isSingle()) {
        device = std::make_unique<QFile>(QDir(files.path()).filePath(QStringLiteral("account.js")));
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
    People people {json::idText(json::at(account, "accountId")),
                   json::string(account, "accountDisplayName")};
    if (people.ownerName.isEmpty())
        people.ownerName = json::string(account, "username");
    return people;
}

// What a walk over the conversations is told: each item read, and each conversation's end with
// the name it gave itself and where its list of messages starts (just past "messages").
struct Walk
{
    std::function<void(const QString &id, const rapidjson::Value &item)> item;
    std::function<void(const QString &id, const QString &name, bool group, qint64 messagesAt)>
        ended;
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
        qint64 messagesAt = -1;
        while (pull.next() == JsonPull::Token::Key) {
            const std::string key(pull.text());
            if (key == "conversationId" || key == "name") {
                pull.next();
                (key == "name" ? name : id) = pull.token() == JsonPull::Token::String
                    ? pull.string()
                    : QString::fromUtf8(pull.numberText().data(),
                                        qsizetype(pull.numberText().size()));
            } else if (key == "messages") {
                messagesAt = pull.offset();
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
        walk.ended(id, name, group || !id.contains(u'-'), messagesAt);
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

bool list(const ExportFiles &files, Listing &listing, QString *error)
{
    struct Seen
    {
        QString name;
        QString renamed; // the newest rename, the first one met
        QStringList ids;
        bool group = false;
        std::vector<Stretch> stretches;
    };
    QStringList order;
    QSet<QString> ordered;
    QHash<QString, Seen> seen;
    QString file;
    const Walk walk {
        [&](const QString &id, const rapidjson::Value &item) {
            Seen &s = seen[id];
            if (s.renamed.isEmpty())
                s.renamed = renamedTo(item);
            for (const QString &one : ids(item)) {
                if (!s.ids.contains(one))
                    s.ids.append(one);
            }
        },
        [&](const QString &id, const QString &name, bool group, qint64 messagesAt) {
            if (!ordered.contains(id)) {
                ordered.insert(id);
                order.append(id);
            }
            Seen &s = seen[id];
            if (!name.isEmpty())
                s.name = name;
            s.group = s.group || group;
            if (messagesAt >= 0)
                s.stretches.push_back({file, messagesAt});
            // A one-to-one conversation's id holds both people's ids ("12-34"), in an order that
            // does not hang on which item comes first.
            if (!group) {
                QStringList both = id.split(u'-');
                for (const QString &one : std::as_const(s.ids)) {
                    if (!both.contains(one))
                        both.append(one);
                }
                s.ids = both;
            }
        },
    };
    for (const QString &name : std::as_const(listing.names)) {
        file = name;
        if (!walkAll(files, {name}, walk, error))
            return false;
    }
    ChatKeys keys;
    for (const QString &id : std::as_const(order)) {
        const Seen &s = seen[id];
        QStringList others;
        for (const QString &one : s.ids) {
            if (one != listing.people.ownerId)
                others.append(listing.people.name(one));
        }
        QString name = s.name.isEmpty() ? s.renamed : s.name;
        if (name.isEmpty() && !others.isEmpty()) {
            name = others.mid(0, 3).join(QStringLiteral(", "));
            if (others.size() > 3)
                name += QStringLiteral(" ほか %1 人").arg(others.size() - 3);
        }
        const QString key = keys.next(name, id);
        listing.chats.push_back({id, key, name.isEmpty() ? key : name, s.ids, s.stretches});
    }
    return true;
}

// What the files of messages are on disk now (size and time of each), so that a listing made
// earlier is used only while they are unchanged.
QString stamp(const ExportFiles &files, const QStringList &names, const People &people)
{
    QStringList parts {files.path(), people.ownerId, people.ownerName};
    const auto add = [&](const QString &path) {
        const QFileInfo info(path);
        parts << QString::number(info.size())
              << QString::number(info.lastModified().toMSecsSinceEpoch());
    };
    // An archive is one file; a folder's files (or a file alone) are in the folder of path().
    if (files.isArchive())
        add(files.path());
    for (const QString &name : names) {
        parts << name;
        if (!files.isArchive())
            add(QDir(files.path()).filePath(name));
    }
    return parts.join(u'\n');
}

} // namespace

bool startsAsMessages(const QByteArray &head)
{
    static const QRegularExpression start(
        QStringLiteral("^\\s*window\\.YTD\\.direct_messages?(_group)?\\.part\\d+\\s*="));
    return start.match(QString::fromLatin1(head.left(128))).hasMatch();
}

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

std::shared_ptr<const Listing> listing(const ExportFiles &files, QString *error)
{
    static QMutex guard;
    static std::vector<std::shared_ptr<const Listing>> kept; // the newest last
    constexpr size_t Kept = 4;
    auto fresh = std::make_shared<Listing>();
    fresh->names = messageFiles(files);
    fresh->people = owner(files, fresh->names);
    fresh->stamp = stamp(files, fresh->names, fresh->people);
    {
        const QMutexLocker lock(&guard);
        for (const auto &one : kept) {
            if (one->stamp == fresh->stamp)
                return one;
        }
    }
    if (!list(files, *fresh, error))
        return nullptr;
    const QMutexLocker lock(&guard);
    kept.push_back(fresh);
    if (kept.size() > Kept)
        kept.erase(kept.begin());
    return fresh;
}

} // namespace xarchive
