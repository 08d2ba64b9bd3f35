#pragma once

#include "engine/read/formats/chatformat.h"

// The direct messages of X's account archive: the ZIP as downloaded, its folder, or one of its
// files alone (data/direct-messages.js, direct-messages-group.js, older archives'
// direct-message.js and split parts "…-part1.js"), each a JavaScript assignment of a JSON list
// of conversations, their items newest first. One chat per conversation, oldest first, its UTC
// times in the reader's time zone.
class XArchiveFormat : public ChatFormat
{
public:
    FormatId id() const override { return FormatId::XArchive; }
    QString dialogName() const override;
    QStringList extensions() const override;
    bool holdsChats(const ExportFiles &files) const override;
    bool chats(const ExportFiles &files, QList<ExportChat> &chats, QString *error) const override;
    std::unique_ptr<RecordReader> chatReader(std::shared_ptr<const ExportFiles> files,
                                             const QString &key, ChatPlaces *places) const override;
};
