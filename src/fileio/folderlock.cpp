#include "folderlock.h"

#include "filename.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fileio {

FolderLock::FolderLock(const QString &dir)
{
    m_fd = ::open(encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        return;
    while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) { }
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // lets go of the lock
}

} // namespace fileio
