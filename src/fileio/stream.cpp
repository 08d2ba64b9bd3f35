#include "stream.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace fileio {

namespace {

constexpr qsizetype ChunkBytes = 1 << 16;

// Leaves errno as it was, for the caller to tell the errors apart.
bool failed(QString *reason)
{
    const int error = errno;
    if (reason)
        *reason = QString::fromLocal8Bit(std::strerror(error));
    errno = error;
    return false;
}

} // namespace

bool readUpTo(int fd, QByteArray &bytes, qsizetype max, QString *reason)
{
    const qsizetype start = bytes.size();
    qsizetype got = 0;
    bytes.resize(start + max);
    while (got < max) {
        const ssize_t n = ::read(fd, bytes.data() + start + got, size_t(max - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            bytes.truncate(start);
            return failed(reason);
        }
        if (n == 0)
            break;
        got += n;
    }
    bytes.truncate(start + got);
    return true;
}

bool writeAll(int fd, QByteArrayView bytes, QString *reason)
{
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failed(reason);
        p += n;
        left -= n;
    }
    return true;
}

Copy copyAll(int from, int to, QString *reason)
{
    QByteArray buffer;
    for (;;) {
        buffer.resize(0); // keeps the allocation
        if (!readUpTo(from, buffer, ChunkBytes, reason))
            return Copy::ReadFailed;
        if (buffer.isEmpty())
            return Copy::Ok;
        if (!writeAll(to, buffer, reason))
            return errno == EPIPE ? Copy::ReaderGone : Copy::WriteFailed;
    }
}

} // namespace fileio
