#pragma once

#include "fileio/inputfile.h"

#include <QList>
#include <QString>
#include <optional>

// The logs of a folder given to the batch run instead of a log.
struct FolderScan
{
    struct Log
    {
        QString path;
        QString subfolder; // below the scanned folder: "" directly in it, "2003/07" deeper
    };
    struct Problem
    {
        QString folder;
        QString reason; // the system's words
    };
    QList<Log> logs; // in no particular order; the intake sorts them
    QList<Problem> unreadable; // folders that could not be listed
};

// Lists the logs (by extension, as the intake takes them) directly in `folder`, and with
// `recursive` also those in every folder below it. Symbolic links to folders are not followed,
// names starting with "." are left out, and `skipFolder` (the output folder) is not walked
// into. A file named like the output of a log beside it (addStr + that log's name, with "txt")
// is this program's own output and left out too, so that converting a folder again does not
// convert its outputs; with an empty addStr an output name is also a log's own name, so then
// nothing is left out for it (the run refuses to replace a log instead). A file its format reads
// only as a part of another log beside it is left out as well.
FolderScan scanFolder(const QString &folder, bool recursive, const QString &addStr,
                      std::optional<fileio::FileId> skipFolder = std::nullopt);
