#include "folder.h"

#include "filename.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace fileio {

namespace {

// The kind of `name`; `denied` when the folder can be listed but not entered.
FolderEntry::Kind kindOf(int dirFd, const char *name, bool &denied)
{
    struct stat st;
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        denied = errno == EACCES;
        return FolderEntry::Kind::Other;
    }
    if (S_ISDIR(st.st_mode))
        return FolderEntry::Kind::Folder;
    // A link counts by what it reaches, but a link to a folder is never walked into: it
    // could lead out of the tree or round in a circle.
    if (S_ISLNK(st.st_mode) && ::fstatat(dirFd, name, &st, 0) != 0)
        return FolderEntry::Kind::Other;
    return S_ISREG(st.st_mode) ? FolderEntry::Kind::File : FolderEntry::Kind::Other;
}

} // namespace

bool isFolder(const QString &path)
{
    struct stat st;
    return ::stat(encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool listFolder(const QString &dir, QList<FolderEntry> &entries, QString *reason)
{
    entries.clear();
    const int fd
        = ::open(encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_NOCTTY | O_CLOEXEC);
    DIR *d = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!d) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        if (reason)
            *reason = QString::fromLocal8Bit(std::strerror(error));
        return false;
    }
    errno = 0;
    bool denied = false;
    while (const dirent *e = ::readdir(d)) {
        const char *name = e->d_name;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
            entries.append({decodeName(QByteArrayView(name)), kindOf(fd, name, denied)});
        // Names alone (a folder without search permission) would pass its logs over unsaid.
        if (denied)
            break;
        errno = 0;
    }
    const int error = denied ? EACCES : errno;
    ::closedir(d);
    if (error != 0) {
        entries.clear();
        if (reason)
            *reason = QString::fromLocal8Bit(std::strerror(error));
        return false;
    }
    return true;
}

} // namespace fileio
