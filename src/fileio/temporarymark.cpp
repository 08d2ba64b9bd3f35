#include "temporarymark.h"

#include <QByteArrayView>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <signal.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fileio {

namespace {

constexpr char TemporaryAttribute[] = "user.pelorin.temporary";
// Starts with NUL, as no text or page does; the writer's id in decimal and NULs follow.
constexpr QByteArrayView MarkMagic("\0pelorin-temporary\0", 19);

// A process id written in decimal; 0 when `digits` is none.
qint64 pidFrom(QByteArrayView digits)
{
    if (digits.isEmpty() || digits.size() > 10)
        return 0;
    qint64 pid = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid <= std::numeric_limits<pid_t>::max() ? pid : 0;
}

// The process that wrote the temporary open as `fd`: by its attribute, or else by the mark in
// its first bytes. 0 when it carries neither.
qint64 writerOf(int fd)
{
    char value[16];
    const ssize_t n = ::fgetxattr(fd, TemporaryAttribute, value, sizeof value);
    if (n > 0)
        return pidFrom(QByteArrayView(value, n));
    char head[TemporaryMarkSize];
    if (::pread(fd, head, sizeof head, 0) != ssize_t(sizeof head))
        return 0;
    const QByteArrayView mark(head, sizeof head);
    if (!mark.startsWith(MarkMagic))
        return 0;
    QByteArrayView rest = mark.sliced(MarkMagic.size());
    const qsizetype end = rest.indexOf('\0');
    const QByteArrayView digits = end < 0 ? rest : rest.first(end);
    for (const char c : rest.sliced(digits.size()))
        if (c != '\0')
            return 0;
    return pidFrom(digits);
}

} // namespace

QByteArray temporaryMark(qint64 pid)
{
    QByteArray mark = MarkMagic.toByteArray();
    mark += QByteArray::number(pid);
    mark.resize(TemporaryMarkSize, '\0');
    return mark;
}

void setTemporaryAttribute(int fd)
{
    const QByteArray pid = QByteArray::number(qint64(::getpid()));
    (void)::fsetxattr(fd, TemporaryAttribute, pid.constData(), size_t(pid.size()), 0);
}

bool isStaleTemporary(int dirFd, const QByteArray &name, const struct stat &st)
{
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    const int fd
        = ::openat(dirFd, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const qint64 pid = writerOf(fd);
    ::close(fd);
    // The writer is gone: no process of that id (another process reusing it keeps it).
    return pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

} // namespace fileio
