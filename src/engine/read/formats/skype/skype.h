#pragma once

#include "engine/read/formats/chatformat.h"

// Skype's export of a whole account: the TAR as downloaded, its folder, or its messages.json
// ({"userId", "exportDate", "conversations": [{"id", "displayName", "threadProperties",
// "MessageList": [newest message first …]}]}). One chat per conversation, its messages shown
// oldest first, their UTC times in the reader's time zone.
class SkypeFormat : public ChatFormat
{
public:
    FormatId id() const override { return FormatId::Skype; }
    QString dialogName() const override;
    QStringList extensions() const override;
    bool holdsChats(const ExportFiles &files) const override;
    bool chats(const ExportFiles &files, QList<ExportChat> &chats, QString *error) const override;
    std::unique_ptr<RecordReader> chatReader(std::shared_ptr<const ExportFiles> files,
                                             const QString &key, ChatPlaces *places) const override;
};
