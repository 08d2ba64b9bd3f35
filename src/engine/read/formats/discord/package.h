#pragma once

#include "engine/read/chat/recordreader.h"

#include <QFile>
#include <memory>

class ExportFiles;

// What the package tells beside a channel's messages: the channel's name, and the user who
// asked for the package, who sent every message in it.
struct PackageBeside
{
    QString chatName;
    QString userName;
};

// One channel of Discord's own data package: messages.json (an array of {"ID", "Timestamp",
// "Contents", "Attachments"}) or, in older packages, messages.csv with the same columns. Only
// the messages of the user who asked for it, newest first; they are handed out oldest first.
// Read from `file`, or from the file `name` of a package.
std::unique_ptr<RecordReader> packageRecords(QFile &file, bool csv, PackageBeside beside);
std::unique_ptr<RecordReader> packageRecords(std::shared_ptr<const ExportFiles> files,
                                             const QString &name, bool csv, PackageBeside beside);
