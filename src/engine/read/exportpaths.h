#pragma once

#include "engine/read/formats/chatformat.h"
#include "engine/read/shared/exportfiles.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

// Paths to the chats of an export that holds many: "talks.zip/Ann" is the chat keyed "Ann" of
// the export talks.zip (a ZIP or TAR, an extracted folder, or one file holding every chat). A
// file in a ZIP or TAR that no format reads as a whole is keyed by its own name
// ("WhatsApp Chat - Ann.zip/_chat.txt").
namespace exportpaths {

struct Split
{
    QString container;
    QString key;
};
// The export and the key of a chat path; nothing for a path that is a file itself.
std::optional<Split> split(const QString &path);

// Whether a path may be an export worth looking into: a folder, a ZIP or TAR, a JSON or JS file.
bool mayHoldChats(const QString &path);
// The export at `container`, and the format holding chats in it (nullptr: a ZIP or TAR whose
// logs are read one by one).
std::shared_ptr<const ExportFiles> open(const QString &container, QString *error);
const ChatFormat *holder(const ExportFiles &files);
// The name of the archive's file keyed `key`, empty when it has none.
QString entryName(const ExportFiles &files, const QString &key);

struct Chat
{
    QString path; // the chat path the log reader opens
    QString name;
};
// The chats `path` holds. False, with nothing, when it is no export of chats; false with `error`
// set when it is one that cannot be read.
bool chatsOf(const QString &path, QList<Chat> &chats, QString *error);

} // namespace exportpaths
