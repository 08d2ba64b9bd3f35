#pragma once

#include <QByteArray>

// Deterministic generator of large XML histories in UTF-8 for the benchmarks, laid out as the
// messenger writes them on one line: messages with a sender, a recipient, Date, Time and DateTime
// (one in ten of several lines), file offers, people joining and leaving; names and texts in
// Japanese, ASCII and other scripts, with markup characters to escape. The same size always gives
// the same bytes.
namespace xmlgen {

// The history, ending with the event that reaches `targetBytes`.
QByteArray generate(qint64 targetBytes);

} // namespace xmlgen
