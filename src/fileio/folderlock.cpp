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
    int result;
    do
        result = ::flock(m_fd, LOCK_EX);
    while (result != 0 && errno == EINTR);
    m_locked = result == 0;
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // lets go of the lock
}

} // namespace fileio
