#pragma once

#include "engine/read/chat/recordreader.h"

#include <QIODevice>
#include <memory>

// The JSON the common exporter writes of one channel: its guild and channel, then its messages
// oldest first, each with its author, attachments, embeds, stickers and reactions. Times are
// instants with the exporting computer's offset.
std::unique_ptr<RecordReader> exporterRecords(QIODevice &device);
