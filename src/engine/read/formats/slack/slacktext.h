#pragma once

#include "engine/read/chat/chatmodel.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <rapidjson/document.h>

class ExportFiles;

namespace slack {

// One conversation of the export with a folder of day files.
struct Conversation
{
    QString folder; // relative to the export's root
    QString key;
    QString name; // "#general", or its members' names
    QStringList members;
};

// What the export's lists say: who is who, what channels are called, and its conversations.
struct Workspace
{
    QString root; // "" or "folder/" when the archive holds the export in one folder
    QHash<QString, QString> users; // id -> name
    QHash<QString, QString> channels; // id -> name
    QHash<QString, QString> bots; // bot id -> name, as the messages read so far name them
    QList<Conversation> conversations;

    QString user(const QString &id) const { return users.value(id, id); }
};

// Where the export's users.json lies ("" or "folder/"); false when it has none.
bool findRoot(const ExportFiles &files, QString &root);
// Each object of a JSON array file (a list, a day file), handed to `each`; false with `error`
// set when the file is broken.
bool eachItem(const ExportFiles &files, const QString &name, QString *error,
              const std::function<void(const rapidjson::Value &)> &each);
// Reads the users and the conversations whose folders exist; false with `error` set when a list
// is broken.
bool load(const ExportFiles &files, Workspace &workspace, QString *error);

// Slack's markup as read: "<@U1>" -> "@Ann" ("Ann" for `plainNames`), "<#C1|general>" ->
// "#general", "<https://x|label>" -> "label (https://x)", "&amp;" -> "&".
QString plain(const QString &text, const Workspace &workspace, bool plainNames = false);

// Remembers the name of the bot that wrote a message, for its messages that name it by id alone.
void learnBot(const rapidjson::Value &m, Workspace &workspace);

// One message of a day file as a record; false for what is no record.
bool record(const rapidjson::Value &m, const Workspace &workspace, chat::Record &record);

} // namespace slack
