#pragma once

#include "engine/selection.h"

#include <QString>
#include <QStringList>

// Taking logs into the selection: by extension, each with its output stem, in path order,
// no path twice.

// Splits one blank-separated text of paths (quotes already removed). Paths may contain
// blanks; a blank separates only where the next path visibly begins: a drive letter and a
// colon ("C:", the colon two places after the blank) or a "/".
QStringList splitLogPathText(const QString &text);

// What follows the last "." of the name is exactly an extension of a format the program reads
// (formats.h): "TXT", "txt", "XML", "xml", "json"…
bool isLogPath(const QString &path);
// Whether `path` is an export of chats to be taken whole (a folder that a format holds chats in,
// a ZIP or TAR): a drop of it gives its chats rather than the logs a folder holds.
bool isChatExport(const QString &path);

// The folder including its last "/", then addStr, then the file name without its extension:
// "/log/chat.txt" with "_" gives "/log/_chat.". A "\" is part of a name ("x\chat.txt" gives
// "_x\chat."), but in a path written the Windows way, from a drive or a server:
// "C:\log\chat.txt" gives "C:\log\_chat.". A chat of an export is named by both: "talks.zip/Ann"
// gives "_talks_Ann.".
QString outputStem(const QString &path, const QString &addStr);
// Where the file name of `path` starts: after its last "/", or its last "\" in a path written
// the Windows way.
qsizetype nameStart(const QString &path);
// The stem of a file's name as it is in its folder (any "\" in it is part of it).
QString outputStemOfName(QStringView name, const QString &addStr);
// The same stem in another folder: "out/_chat." for "logs/chat.txt" into "out".
QString outputStem(const QString &path, const QString &addStr, const QString &outputFolder);

// Selection order: locale-aware (Japanese) ignoring letter case, ties broken by exact
// comparison so that equal paths are always neighbours. < 0, 0 (only for equal paths), > 0.
int compareLogPaths(const QString &a, const QString &b);

// Adds the accepted paths to the selection. When nothing is accepted, the pairs already
// stored are held back (selectedCount 0) and wait for the next intake.
// Returns the number of paths accepted.
int addLogFiles(Selection &selection, const QStringList &paths, const QString &addStr);
