#pragma once

#include "engine/read/formats/chatformat.h"

// Discord chats in the forms people have them: the JSON the common exporter writes of one
// channel, and Discord's own data package (its ZIP or folder, one chat per channel; or one
// channel's messages.json, or messages.csv in older packages, with channel.json beside it).
// Times are instants, shown in the reader's zone.
class DiscordFormat : public ChatFormat
{
public:
    FormatId id() const override { return FormatId::Discord; }
    QStringList extensions() const override;
    QString dialogName() const override;
    Sureness byHead(QStringView head) const override;
    std::unique_ptr<FormatReader> reader(const ReadSource &source) const override;
    const char *noMessagesText() const override;
    bool isPartOfLog(const QString &path) const override;

    bool holdsChats(const ExportFiles &files) const override;
    bool chats(const ExportFiles &files, QList<ExportChat> &chats, QString *error) const override;
    std::unique_ptr<RecordReader> chatReader(std::shared_ptr<const ExportFiles> files,
                                             const QString &key, ChatPlaces *places) const override;
};
