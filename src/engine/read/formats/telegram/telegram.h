#pragma once

#include "engine/read/formats/chatformat.h"

// Telegram Desktop's JSON export of one chat ("result.json": its name, type and id, then its
// messages oldest first), or of a whole account (its chats in "chats" / "list", each as one chat's
// export is). Times are as the exporting computer showed them.
class TelegramFormat : public ChatFormat
{
public:
    FormatId id() const override { return FormatId::Telegram; }
    QStringList extensions() const override;
    QString dialogName() const override;
    Sureness byHead(QStringView head) const override;
    std::unique_ptr<FormatReader> reader(const ReadSource &source) const override;
    const char *noMessagesText() const override;

    bool holdsChats(const ExportFiles &files) const override;
    bool chats(const ExportFiles &files, QList<ExportChat> &chats, QString *error) const override;
    std::unique_ptr<RecordReader> chatReader(std::shared_ptr<const ExportFiles> files,
                                             const QString &key, ChatPlaces *places) const override;
};
