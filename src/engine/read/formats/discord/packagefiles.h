#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

class ExportFiles;

// Discord's data package as a whole: a folder of channels ("messages/", "Messages/" in older
// packages), each a folder ("c123", once "123") of messages.json or messages.csv with
// channel.json beside it, the names of all channels in the folder's index.json, and the account
// in account/user.json. Names are those of the package's ExportFiles.
namespace discord {

struct Channel
{
    QString id;
    QString folder; // "messages/c123/"
    QString messages; // "messages/c123/messages.csv"
    bool csv = false;
};

// The folder of channels of a package ("messages/"; "" for the folder given itself), nothing
// when `files` is no package.
std::optional<QString> channelsFolder(const ExportFiles &files);
// The channels of a package, by id (ids grow with time, so the oldest first).
QList<Channel> channels(const ExportFiles &files, const QString &channelsFolder);
// index.json's names: id -> name.
QHash<QString, QString> indexNames(const ExportFiles &files, const QString &channelsFolder);

// The channel's name as the page heads it: "guild / #channel", a group's name, or the name the
// index gives a direct message ("Direct Message with alice"); empty when none tells.
QString channelName(const ExportFiles &files, const Channel &channel,
                    const QHash<QString, QString> &index);
// The name of the user who asked for the package, who sent every message in it; a neutral
// word when the package does not tell.
QString userName(const ExportFiles &files, const QString &channelsFolder);

} // namespace discord
