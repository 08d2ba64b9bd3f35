#pragma once

#include "engine/read/shared/bytelines.h"

#include <QFile>
#include <memory>

class LogReader;

// The log's lines as its own bytes: a text log in Shift-JIS or UTF-8 read as it is (not out of
// an export, not merged, no names replaced), opened in `file`; nullptr for any other log.
std::unique_ptr<ByteLines> byteLines(const LogReader &reader, bool redact, QFile &file);
