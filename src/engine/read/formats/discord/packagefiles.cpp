#include "engine/read/formats/discord/packagefiles.h"

#include "engine/read/shared/exportfiles.h"
#include "engine/read/shared/jsonpull.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace discord {

namespace {

const QRegularExpression &channelFolderName()
{
    static const QRegularExpression name(QStringLiteral("^c?(\\d+)$"));
    return name;
}

// The channel in `folder` (a child of the folder of channels), if it holds its messages.
std::optional<Channel> channelIn(const ExportFiles &files, const QString &channels,
                                 const QString &folder)
{
    const QRegularExpressionMatch m = channelFolderName().match(folder);
    if (!m.hasMatch())
        return std::nullopt;
    const QString path = channels + folder + u'/';
    for (const bool csv : {false, true}) {
        const QString messages = path + (csv ? u"messages.csv" : u"messages.json");
        if (files.contains(messages))
            return Channel {m.captured(1), path, messages, csv};
    }
    return std::nullopt;
}

bool holdsChannel(const ExportFiles &files, const QString &channels)
{
    const QStringList children = files.children(channels);
    return std::any_of(children.cbegin(), children.cend(), [&](const QString &child) {
        return channelIn(files, channels, child).has_value();
    });
}

// The string members `names` of a JSON object file's top level, its other members passed
// over unread (user.json holds a great deal besides).
QStringList members(QIODevice &file, const std::vector<std::string> &names)
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

QString userNameIn(const ExportFiles &files, const QString &root)
{
    for (const QString &folder : {QStringLiteral("account/"), QStringLiteral("Account/")}) {
        const std::unique_ptr<QIODevice> user = files.file(root + folder + u"user.json");
        if (!user)
            continue;
        for (const QString &name : members(*user, {"global_name", "username"})) {
            if (!name.isEmpty())
                return name;
        }
    }
    return {};
}

} // namespace

std::optional<QString> channelsFolder(const ExportFiles &files)
{
    if (files.isSingle())
        return std::nullopt;
    // The package's top, in a ZIP perhaps under one folder; or the folder of channels itself,
    // which holds the index (a large folder of logs is not listed for it).
    QStringList tops {QString()};
    if (files.isArchive()) {
        const QStringList children = files.children(QString());
        if (children.size() == 1)
            tops.append(children.first() + u'/');
    }
    for (const QString &top : tops) {
        for (const QString &name : {QStringLiteral("messages/"), QStringLiteral("Messages/")}) {
            if (holdsChannel(files, top + name))
                return top + name;
        }
    }
    if (files.contains(QStringLiteral("index.json")) && holdsChannel(files, QString()))
        return QString();
    return std::nullopt;
}

QList<Channel> channels(const ExportFiles &files, const QString &channelsFolder)
{
    QList<Channel> out;
    for (const QString &child : files.children(channelsFolder)) {
        if (auto channel = channelIn(files, channelsFolder, child))
            out.append(std::move(*channel));
    }
    std::sort(out.begin(), out.end(), [](const Channel &a, const Channel &b) {
        return a.id.size() != b.id.size() ? a.id.size() < b.id.size() : a.id < b.id;
    });
    return out;
}

QHash<QString, QString> indexNames(const ExportFiles &files, const QString &channelsFolder)
{
    QHash<QString, QString> out;
    const std::unique_ptr<QIODevice> index = files.file(channelsFolder + u"index.json");
    if (!index)
        return out;
    JsonPull pull(*index);
    if (pull.next() != JsonPull::Token::StartObject)
        return out;
    while (pull.next() == JsonPull::Token::Key) {
        const QString id = pull.string();
        const JsonPull::Token value = pull.next();
        if (value == JsonPull::Token::String && pull.text() != "None")
            out.insert(id, pull.string());
        else if ((value == JsonPull::Token::StartObject || value == JsonPull::Token::StartArray)
                 && !pull.skip())
            break;
    }
    return out;
}

QString channelName(const ExportFiles &files, const Channel &channel,
                    const QHash<QString, QString> &index)
{
    QString id = channel.id;
    if (const std::unique_ptr<QIODevice> file = files.file(channel.folder + u"channel.json")) {
        rapidjson::Document doc;
        JsonPull pull(*file);
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
    return index.value(id);
}

QString userName(const ExportFiles &files, const QString &channelsFolder)
{
    const QString root = channelsFolder.left(channelsFolder.lastIndexOf(u'/', -2) + 1);
    QString name = userNameIn(files, root);
    // The folder of channels given itself: the account lies beside it.
    if (name.isEmpty() && channelsFolder.isEmpty() && !files.isArchive()) {
        if (const auto up = ExportFiles::open(QFileInfo(files.path()).absolutePath()))
            name = userNameIn(*up, QString());
    }
    return name.isEmpty() ? QStringLiteral("自分") : name;
}

} // namespace discord
