#pragma once

#include "engine/read/formats/chatformat.h"

// Slack's workspace export: the ZIP as downloaded, or its folder. users.json names the people,
// channels.json (and groups.json, mpims.json, dms.json where the export has them) the
// conversations, each a folder of day files ("2020-01-31.json", an array of messages). One chat
// per conversation with a folder, its day files gathered whole: each thread's replies follow the
// message they answer, in time order, each quoting it.
class SlackFormat : public ChatFormat
{
public:
    FormatId id() const override { return FormatId::Slack; }
    QString dialogName() const override;
    QStringList extensions() const override;
    bool holdsChats(const ExportFiles &files) const override;
    bool chats(const ExportFiles &files, QList<ExportChat> &chats, QString *error) const override;
    std::unique_ptr<RecordReader> chatReader(std::shared_ptr<const ExportFiles> files,
                                             const QString &key, ChatPlaces *places) const override;
};
