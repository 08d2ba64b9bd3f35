#pragma once

#include "engine/read/formats/chatformat.h"

// Instagram's and Facebook Messenger's chats from Meta's "download your information": the ZIP
// as downloaded, its folder, or one thread's message_N.json. A thread is a folder of
// message_1.json … message_n.json ({"participants", "messages": [newest first …], "title"}),
// read together in time order. Meta writes every string's UTF-8 bytes as if each were a
// character ("\u00e3\u0081\u0082" for "あ"): they are put back as they were typed.
class MetaFormat : public ChatFormat
{
public:
    FormatId id() const override { return FormatId::Meta; }
    QString dialogName() const override;
    QStringList extensions() const override;
    Sureness byHead(QStringView head) const override;
    std::unique_ptr<FormatReader> reader(const ReadSource &source) const override;
    bool isPartOfLog(const QString &path) const override;

    bool holdsChats(const ExportFiles &files) const override;
    bool chats(const ExportFiles &files, QList<ExportChat> &chats, QString *error) const override;
    std::unique_ptr<RecordReader> chatReader(std::shared_ptr<const ExportFiles> files,
                                             const QString &key, ChatPlaces *places) const override;
};
