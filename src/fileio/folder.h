#pragma once

#include <QList>
#include <QString>

// Listing a folder by the exact bytes of its names.
namespace fileio {

struct FolderEntry
{
    enum class Kind {
        File, // a regular file, or a symbolic link to one
        Folder, // a folder itself, never a link to one
        Other, // a link to a folder, a dangling link, a FIFO, a device, a socket
    };
    QString name; // decoded losslessly (decodeName)
    Kind kind = Kind::Other;
};

// True when `path` reaches a folder (also through a symbolic link).
bool isFolder(const QString &path);

// The entries of `dir` except "." and "..", in no particular order. False, with `reason` (the
// system's error text), when the folder cannot be read.
bool listFolder(const QString &dir, QList<FolderEntry> &entries, QString *reason = nullptr);

} // namespace fileio
