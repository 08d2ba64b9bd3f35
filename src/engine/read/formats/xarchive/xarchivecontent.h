#pragma once

#include "engine/read/chat/chatmodel.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <functional>
#include <rapidjson/document.h>

// The items of a conversation in X's account archive ({"messageCreate": {…}},
// {"participantsJoin": {…}} …) as the model's records. People are named by the archive's owner
// (account.js) or else by their ids, which are all the archive tells of the others.
namespace xarchive {

struct People
{
    QString ownerId;
    QString ownerName;
    QString name(const QString &id) const
    {
        return id == ownerId && !ownerName.isEmpty() ? ownerName : id;
    }
};

// Where the archive holds a message's media: the name of the file asked for ("<message id>-<name>")
// as the export's path, or empty when it does not hold it.
using MediaPath = std::function<QString(const QString &fileName)>;

// One item as a record, and its instant; false for an item that tells nothing worth showing.
bool record(const rapidjson::Value &item, const People &people, const MediaPath &media,
            chat::Record &out, QDateTime &at);
// A reaction that older archives keep as an item of its own ({"reactionCreate": {…}}): the id of
// the message it is to, its emoji, who gave it and when.
struct Reacted
{
    QString messageId;
    QString emoji;
    QString by;
    QDateTime at;
};
bool reaction(const rapidjson::Value &item, const People &people, Reacted &out);
// Adds one person's reaction to a message, beside others of the same emoji.
void addReaction(chat::Message &message, const QString &emoji, const QString &by);
// The ids of the people an item names (its sender, recipient, those who joined or left).
QStringList ids(const rapidjson::Value &item);
// The group's name that a rename gives; empty for any other item.
QString renamedTo(const rapidjson::Value &item);
// A reaction's key as its emoji ("like" -> ❤️); an unknown key as itself.
QString emoji(const QString &key);

} // namespace xarchive
