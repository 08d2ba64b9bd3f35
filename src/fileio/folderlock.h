#pragma once

#include <QString>

namespace fileio {

// An exclusive advisory lock on a folder (flock on the folder itself, so no lock file is left
// behind), held while the object lives. Runs that update a file shared by a whole folder take
// turns through it: the second waits until the first has let go, also when the first was killed.
// Where the file system has no such locks, nothing is held.
class FolderLock
{
public:
    explicit FolderLock(const QString &dir);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

private:
    int m_fd = -1;
};

} // namespace fileio
