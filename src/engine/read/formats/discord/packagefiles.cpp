#include "engine/read/formats/discord/packagefiles.h"

#include "engine/read/shared/jsonpull.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace discord {

namespace {

// The first of the files that opens (the package's folders were once written capitalised).
bool openFirst(QFile &file, const QDir &dir, const QStringList &names)
{
    for (const QString &name : names) {
        file.setFileName(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            return true;
    }
    return false;
}

// The string members `names` of a JSON object file's top level, its other members passed
// over unread (user.json holds a great deal besides).
QStringList members(QFile &file, const std::vector<std::string> &names)
{
    QStringList out(qsizetype(names.size()));
    JsonPull pull(file);
    if (pull.next() != JsonPull::Token::StartObject)
        return out;
    while (pull.next() == JsonPull::Token::Key) {
        const auto it = std::find(names.begin(), names.end(), std::string(pull.text()));
        if (it == names.end()) {
            if (!pull.skip())
                break;
        } else if (pull.next() == JsonPull::Token::String) {
            out[it - names.begin()] = pull.string();
        } else if (!pull.skip()) {
            break;
        }
    }
    return out;
}

} // namespace

QString packageChatName(const QString &messagesPath)
{
    const QDir dir = QFileInfo(messagesPath).dir();
    QFile channel;
    QString id = dir.dirName().mid(1); // "c123"
    if (openFirst(channel, dir, {QStringLiteral("channel.json")})) {
        rapidjson::Document doc;
        JsonPull pull(channel);
        if (pull.next() == JsonPull::Token::StartObject && pull.take(doc)) {
            const QString name = json::string(doc, "name");
            const QString guild = json::string(json::at(doc, "guild"), "name");
            if (!name.isEmpty())
                return guild.isEmpty() ? name : guild + QStringLiteral(" / #") + name;
            if (const QString own = json::idText(json::at(doc, "id")); !own.isEmpty())
                id = own;
        }
    }
    // A direct message has no name of its own; the index names it by the other person.
    QFile index;
    QDir up = dir;
    if (!up.cdUp() || !openFirst(index, up, {QStringLiteral("index.json")}))
        return {};
    JsonPull pull(index);
    if (pull.next() == JsonPull::Token::StartObject && pull.seekKey(id.toStdString())
        && pull.next() == JsonPull::Token::String && pull.text() != "None")
        return pull.string();
    return {};
}

QString packageUserName(const QString &messagesPath)
{
    QDir root = QFileInfo(messagesPath).dir();
    QFile user;
    if (root.cdUp() && root.cdUp()
        && openFirst(user, root,
                     {QStringLiteral("account/user.json"), QStringLiteral("Account/user.json")})) {
        const QStringList names = members(user, {"global_name", "username"});
        for (const QString &name : names) {
            if (!name.isEmpty())
                return name;
        }
    }
    return QStringLiteral("自分");
}

} // namespace discord
