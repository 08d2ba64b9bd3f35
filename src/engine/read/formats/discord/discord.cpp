#include "engine/read/formats/discord/discord.h"

#include "engine/read/chat/recordlines.h"
#include "engine/read/formats/discord/exporter.h"
#include "engine/read/formats/discord/package.h"
#include "engine/read/formats/discord/packagefiles.h"
#include "engine/read/shared/chatkeys.h"
#include "engine/read/shared/exportfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <functional>

namespace {

enum class Form { None, Exporter, PackageJson, PackageCsv };

Form formOf(QStringView head)
{
    // The exporter's channel: its guild (an object of plain values), then its channel.
    static const QRegularExpression exporter(
        QStringLiteral("^\\s*\\{\\s*\"guild\":\\s*\\{([^{}\"]|\"([^\"\\\\]|\\\\.)*\")*\\},\\s*"
                       "\"channel\":\\s*\\{"));
    static const QRegularExpression packageJson(QStringLiteral("^\\s*\\[\\s*\\{\\s*\"ID\":"));
    static const QRegularExpression packageCsv(
        QStringLiteral("^ID,Timestamp,Contents,Attachments(\\r?\\n|$)"));
    const QString text = head.left(4096).toString();
    if (exporter.match(text).hasMatch())
        return Form::Exporter;
    if (packageJson.match(text).hasMatch())
        return Form::PackageJson;
    if (packageCsv.match(text).hasMatch())
        return Form::PackageCsv;
    return Form::None;
}

// What the package beside a channel's messages given on their own tells of them
// (messages/c123/messages.csv): nothing for a file copied out of an archive.
PackageBeside beside(const ReadSource &source)
{
    static const QRegularExpression channelName(QStringLiteral("^c?(\\d+)$"));
    const QFileInfo file(source.diskPath);
    QDir root = file.absoluteDir();
    const QString channel = root.dirName();
    if (source.diskPath != source.logPath || !root.cdUp())
        return {QString(), QStringLiteral("自分")};
    const QString channels = root.dirName() + u'/';
    root.cdUp();
    const auto files = ExportFiles::open(root.absolutePath());
    if (!files)
        return {QString(), QStringLiteral("自分")};
    const discord::Channel c {channelName.match(channel).captured(1), channels + channel + u'/',
                              QString(), false};
    return {discord::channelName(*files, c, discord::indexNames(*files, channels)),
            discord::userName(*files, channels)};
}

// The channels of a package with their keys and names, in order, until `take` says done.
bool eachChat(const ExportFiles &files,
              const std::function<bool(const discord::Channel &, const QString &key,
                                       const QString &name, const QString &folder)> &take)
{
    const std::optional<QString> folder = discord::channelsFolder(files);
    if (!folder)
        return false;
    const QHash<QString, QString> index = discord::indexNames(files, *folder);
    ChatKeys keys;
    for (const discord::Channel &c : discord::channels(files, *folder)) {
        const QString name = discord::channelName(files, c, index);
        if (take(c, keys.next(name, c.id), name.isEmpty() ? c.id : name, *folder))
            break;
    }
    return true;
}

} // namespace

QStringList DiscordFormat::extensions() const
{
    return {QStringLiteral("JSON"), QStringLiteral("json"), QStringLiteral("CSV"),
            QStringLiteral("csv")};
}

QString DiscordFormat::dialogName() const
{
    return QStringLiteral("Discord の書き出し");
}

Sureness DiscordFormat::byHead(QStringView head) const
{
    return formOf(head) == Form::None ? Sureness::No : Sureness::Sure;
}

std::unique_ptr<FormatReader> DiscordFormat::reader(const ReadSource &source) const
{
    // Which form: the head again, as UTF-8 (both forms are written so), after any mark.
    QByteArray head;
    if (source.file.seek(0))
        head = source.file.read(4096);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    const Form form = formOf(QString::fromUtf8(head));
    std::unique_ptr<RecordReader> records = form == Form::Exporter
        ? exporterRecords(source.file)
        : packageRecords(source.file, form == Form::PackageCsv, beside(source));
    return std::make_unique<RecordLines>(std::move(records), source);
}

const char *DiscordFormat::noMessagesText() const
{
    return QT_TRANSLATE_NOOP("RunMessage",
                             "Discord の書き出しですが、メッセージが一つもありませんでした。");
}

bool DiscordFormat::isPartOfLog(const QString &path) const
{
    // What lies beside a package's messages: a channel's description, the index of channels,
    // the account.
    const QFileInfo file(path);
    const QString name = file.fileName();
    const QDir dir = file.dir();
    if (name == u"channel.json")
        return dir.exists(QStringLiteral("messages.json"))
            || dir.exists(QStringLiteral("messages.csv"));
    if (name == u"index.json")
        return dir.dirName().compare(u"messages", Qt::CaseInsensitive) == 0;
    if (name == u"user.json")
        return dir.dirName().compare(u"account", Qt::CaseInsensitive) == 0;
    return false;
}

bool DiscordFormat::holdsChats(const ExportFiles &files) const
{
    return discord::channelsFolder(files).has_value();
}

bool DiscordFormat::chats(const ExportFiles &files, QList<ExportChat> &out, QString *) const
{
    return eachChat(
        files,
        [&out](const discord::Channel &, const QString &key, const QString &name, const QString &) {
            out.append({key, name});
            return false;
        });
}

std::unique_ptr<RecordReader> DiscordFormat::chatReader(std::shared_ptr<const ExportFiles> files,
                                                        const QString &key, ChatPlaces *) const
{
    std::unique_ptr<RecordReader> reader;
    eachChat(*files,
             [&](const discord::Channel &c, const QString &chatKey, const QString &name,
                 const QString &folder) {
                 if (chatKey != key)
                     return false;
                 reader = packageRecords(files, c.messages, c.csv,
                                         {name, discord::userName(*files, folder)});
                 return true;
             });
    return reader;
}
