#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// File names as the file system holds them: any bytes but "/" and NUL. Names that are UTF-8
// become their characters; every byte that is not part of valid UTF-8 (Shift-JIS names
// unpacked from Japanese archives, for example) becomes the lone surrogate U+DC00 + byte, and
// encodeName gives exactly those bytes back. Every path the program opens goes through
// encodeName, never through Qt's own (lossy) file-name encoding.
namespace fileio {

QString decodeName(QByteArrayView bytes);
// The bytes of a name decodeName gave; other lone surrogates become U+FFFD.
QByteArray encodeName(QStringView name);

// The name for a terminal or a one-line message: control characters, line and paragraph
// separators, bidirectional overrides and undecodable bytes are shown as \xNN or \uNNNN, so
// no escape sequence or reordering in a name reaches the terminal.
QString printable(QStringView text);

// The working folder, decoded losslessly.
QString currentDir();
// `path` when it is absolute, otherwise the working folder, "/" and `path`.
QString absolutePath(const QString &path);

// Where a chain of symbolic links starting at `path` ends: `path` itself when it is no link,
// otherwise the last target, which need not exist yet. Empty when the chain does not end
// (a loop, or more than 40 links).
QString followLinks(const QString &path);

} // namespace fileio
