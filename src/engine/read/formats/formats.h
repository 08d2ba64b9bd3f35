#pragma once

#include "engine/read/formats/chatformat.h"

#include <QByteArrayView>
#include <QString>
#include <span>

// The one list of chat formats, in the order they are tried: the only place that knows them
// all. Detection, the names and extensions the intake, the folder scans and the file dialog
// take, the format's name in messages and what "looks like X, not read" says all come from it;
// a new format is a folder under formats/ and a line in formats.cpp.
namespace formats {

std::span<const ChatFormat *const> all();
const ChatFormat &format(FormatId id);

// The format a file is in: the first sure of it by its name, else by its head (the first
// kilobytes of its text, decoded as detected; asked for only when no name decided). The text
// log takes what no other format is sure of.
FormatId byName(QStringView fileName);
FormatId byHead(QStringView head);

// Whether a file's name is that of a log some format reads: what follows the last "." of its
// name is one of the formats' extensions, exactly ("chat.txt~" and "chat.txt_old" are none).
bool isLogName(QStringView path);
// Whether a log by its name is only a part of another log beside it, read through that one.
bool isPartOfLog(const QString &path);
// The extensions the formats read, for messages: ".txt・.xml".
QString extensionList();
// The file dialog's filter: every log first, then each format's: "すべてのログ (*.TXT *.txt
// *.XML *.xml …);;めせのログ (*.TXT *.txt);;MSNのログ (*.XML *.xml);;…".
QString dialogFilter();
// The extension a log without a name (standard input) is given, from its first bytes.
QString extensionForBytes(QByteArrayView head);

// For a log that gave no speakers: the format it looks like in a form the program does not read,
// in the list's order; nullptr when none.
const ChatFormat *lookalike(QStringView head);

} // namespace formats
