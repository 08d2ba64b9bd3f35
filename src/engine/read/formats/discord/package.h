#pragma once

#include "engine/read/chat/recordreader.h"

#include <QFile>
#include <memory>

// One channel of Discord's own data package: messages.json (an array of {"ID", "Timestamp",
// "Contents", "Attachments"}) or, in older packages, messages.csv with the same columns. Only
// the messages of the user who asked for it, newest first; they are handed out oldest first.
// `path` is where the file lies, for the files beside it.
std::unique_ptr<RecordReader> packageRecords(QFile &file, const QString &path, bool csv);
