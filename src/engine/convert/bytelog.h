#pragma once

#include "engine/read/shared/bytelines.h"

#include <QFile>
#include <memory>

class LogReader;

// The log's lines as its own bytes: a text log in Shift-JIS or UTF-8 read as it is (not out of
// an export, not merged, no names replaced), opened in `file`; nullptr for any other log.
std::unique_ptr<ByteLines> byteLines(const LogReader &reader, bool redact, QFile &file);
// Where the bytes could not be read to the end (a huge line, a read error): the reader, rewound,
// passes over the `lines` they gave, to go on from there.
void skipLinesRead(LogReader &reader, qsizetype lines);
