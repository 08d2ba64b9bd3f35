#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Reading and writing open file descriptors (standard input and output, pipes) to the end,
// through short reads and writes and interruptions. `reason` gets the system's error text.
namespace fileio {

// Appends up to `max` bytes to `bytes`; fewer only at the end of the data.
bool readUpTo(int fd, QByteArray &bytes, qsizetype max, QString *reason = nullptr);

bool writeAll(int fd, QByteArrayView bytes, QString *reason = nullptr);

// ReaderGone: `to` is a pipe whose reading end was closed (EPIPE).
enum class Copy { Ok, ReadFailed, WriteFailed, ReaderGone };
// Everything left to read from `from`, written to `to`.
Copy copyAll(int from, int to, QString *reason = nullptr);

} // namespace fileio
