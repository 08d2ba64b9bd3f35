#include "atomicfile.h"

#include "filename.h"
#include "temporarymark.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileio {

namespace {

const QByteArray TemporarySuffix = QByteArrayLiteral(".pelorin-tmp");
// Other names tried when a temporary's name is taken by something that is no temporary of ours.
constexpr int TemporaryNames = 16;

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// File systems without fsync (some FUSE and network ones) say so with these.
bool noSyncAvailable(int error)
{
    return error == EINVAL || error == ENOTSUP || error == ENOSYS;
}

// A temporary that cannot take the replaced file's owner or mode keeps its own: a user may not
// give a file away, FAT keeps neither (EPERM), some FUSE file systems implement neither, and an
// owner outside the user namespace cannot be set (EINVAL). ENOTSUP is EOPNOTSUPP here.
bool attributeNotKept(int error)
{
    return error == EPERM || error == EINVAL || error == ENOTSUP || error == ENOSYS;
}

// What stands under a name that may not be replaced; empty when a regular file or nothing.
QString refusalFor(const struct stat &st)
{
    if (S_ISLNK(st.st_mode))
        return QStringLiteral(QT_TRANSLATE_NOOP("FileError", "is a symbolic link"));
    if (S_ISDIR(st.st_mode))
        return QStringLiteral(QT_TRANSLATE_NOOP("FileError", "is a folder"));
    if (!S_ISREG(st.st_mode))
        return QStringLiteral(QT_TRANSLATE_NOOP("FileError", "not a regular file"));
    return QString();
}

} // namespace

AtomicFile::AtomicFile(const QString &path, Temporary temporary)
    : m_path(path)
    , m_temporary(temporary)
{
}

AtomicFile::~AtomicFile()
{
    cancel();
}

QByteArray AtomicFile::temporaryName(const QByteArray &fileName, int attempt)
{
    // A name near the length limit is cut so that the temporary still fits.
    const QByteArray suffix
        = attempt > 0 ? TemporarySuffix + '-' + QByteArray::number(attempt + 1) : TemporarySuffix;
    const qsizetype room = NAME_MAX - 1 - suffix.size();
    return '.' + fileName.left(room) + suffix;
}

bool AtomicFile::fail(const QString &reason)
{
    m_error = reason;
    m_failed = true;
    return false;
}

bool AtomicFile::failWithErrno()
{
    return fail(systemError(errno));
}

bool AtomicFile::abandon(const QString &reason)
{
    cancel();
    return fail(reason);
}

bool AtomicFile::open()
{
    cancel();
    m_failed = false;
    m_error.clear();
    m_head.clear();
    m_size = 0;
    m_heldBack = 0;
    m_replacing = false;

    const QByteArray path = encodeName(m_path);
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray dir
        = slash < 0 ? QByteArrayLiteral(".") : path.left(qMax<qsizetype>(slash, 1));
    m_name = path.sliced(slash + 1);
    if (m_name.isEmpty() || m_name == "." || m_name == "..")
        return fail(QStringLiteral(QT_TRANSLATE_NOOP("FileError", "not a file name")));
    m_dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_dirFd < 0)
        return failWithErrno();

    struct stat st;
    if (::fstatat(m_dirFd, m_name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (const QString refusal = refusalFor(st); !refusal.isEmpty())
            return fail(refusal);
        // A read-only file stays protected; only the superuser may replace it.
        if (::faccessat(m_dirFd, m_name.constData(), W_OK, AT_EACCESS) != 0)
            return failWithErrno();
        m_replacing = true;
        m_owner = st.st_uid;
        m_group = st.st_gid;
        m_mode = st.st_mode & 0777;
    } else if (errno != ENOENT) {
        return failWithErrno();
    }

    // Temporaries killed runs left behind go, under every name one may have, so that they
    // never pile up; the temporary takes the first free name.
    m_tempName.clear();
    for (int attempt = 0; attempt < TemporaryNames; ++attempt) {
        const QByteArray name = temporaryName(m_name, attempt);
        struct stat taken;
        bool free = false;
        if (::fstatat(m_dirFd, name.constData(), &taken, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                return failWithErrno();
            free = true;
        } else {
            free = isStaleTemporary(m_dirFd, name, taken)
                && ::unlinkat(m_dirFd, name.constData(), 0) == 0;
        }
        if (free && m_tempName.isEmpty())
            m_tempName = name;
    }
    if (m_tempName.isEmpty())
        return fail(QStringLiteral(QT_TRANSLATE_NOOP("FileError",
                                                     "every name for its temporary "
                                                     "file is taken, such as "))
                    + decodeName(temporaryName(m_name)));

    // A new file gets what the umask allows; a replaced one its mode at the commit.
    const mode_t createMode = m_replacing ? 0600 : 0666;
    if (m_temporary == Temporary::UnnamedIfPossible)
        m_fd = ::openat(m_dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, createMode);
    if (m_fd < 0) {
        m_fd = ::openat(m_dirFd, m_tempName.constData(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, createMode);
        if (m_fd < 0)
            return failWithErrno();
        m_named = true;
        m_heldBack = TemporaryMarkSize;
        if (!writeAt(m_fd, temporaryMark(::getpid()), 0))
            return abandon(m_error);
    }
    setTemporaryAttribute(m_fd);
    struct stat created;
    if (::fstat(m_fd, &created) != 0)
        return abandon(systemError(errno));
    if (!m_replacing)
        m_mode = created.st_mode & 0777;
    // The commit opens it again to write over the mark, which a umask without the owner's
    // write permission would not allow; the commit gives it its mode.
    if (m_named && !(created.st_mode & S_IWUSR))
        (void)::fchmod(m_fd, m_mode | S_IWUSR);
    return true;
}

bool AtomicFile::write(QByteArrayView bytes)
{
    if (m_failed)
        return false;
    if (m_fd < 0)
        return fail(QStringLiteral(QT_TRANSLATE_NOOP("FileError", "not open")));
    // The bytes where the mark stands wait until the commit.
    if (m_size < m_heldBack) {
        const QByteArrayView head = bytes.first(qMin(bytes.size(), qsizetype(m_heldBack - m_size)));
        m_head += head;
        m_size += head.size();
        bytes = bytes.sliced(head.size());
    }
    if (!writeAt(m_fd, bytes, m_size))
        return false;
    m_size += bytes.size();
    return true;
}

bool AtomicFile::writeAt(int fd, QByteArrayView bytes, qint64 offset)
{
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::pwrite(fd, p, size_t(left), off_t(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failWithErrno();
        }
        if (n == 0)
            return fail(systemError(ENOSPC));
        p += n;
        left -= n;
        offset += n;
    }
    return true;
}

bool AtomicFile::targetStillReplaceable()
{
    struct stat st;
    if (::fstatat(m_dirFd, m_name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (const QString refusal = refusalFor(st); !refusal.isEmpty())
            return fail(refusal);
    } else if (errno != ENOENT) {
        return failWithErrno();
    }
    return true;
}

bool AtomicFile::replaceMark()
{
    // Through a descriptor of its own: a FUSE driver for FAT drops overwrites of a file's last
    // cluster made through the descriptor that appended it.
    const int fd
        = ::openat(m_dirFd, m_tempName.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno != ENOENT)
        return failWithErrno();
    // Another run writing the same file may have removed this temporary as a stale one.
    struct stat mine, named;
    bool ok = fd >= 0 && ::fstat(fd, &named) == 0 && ::fstat(m_fd, &mine) == 0
        && named.st_dev == mine.st_dev && named.st_ino == mine.st_ino;
    if (!ok)
        fail(QStringLiteral(QT_TRANSLATE_NOOP("FileError", "the temporary file was replaced")));
    ok = ok && writeAt(fd, m_head, 0);
    if (ok && m_size < m_heldBack && ::ftruncate(fd, off_t(m_size)) != 0)
        ok = failWithErrno();
    if (fd >= 0 && ::close(fd) != 0 && ok)
        ok = failWithErrno();
    return ok;
}

bool AtomicFile::takeAttributes()
{
    // Owner first: changing it may clear mode bits.
    if (m_replacing && (m_owner != ::geteuid() || m_group != ::getegid())
        && ::fchown(m_fd, m_owner, m_group) != 0 && !attributeNotKept(errno))
        return failWithErrno();
    if (::fchmod(m_fd, m_mode) != 0 && !attributeNotKept(errno))
        return failWithErrno();
    return true;
}

bool AtomicFile::linkUnnamed()
{
    // Under the hidden name first; without the privilege for an empty path, through its /proc
    // entry.
    if (::linkat(m_fd, "", m_dirFd, m_tempName.constData(), AT_EMPTY_PATH) != 0) {
        const QByteArray proc = "/proc/self/fd/" + QByteArray::number(m_fd);
        if (::linkat(AT_FDCWD, proc.constData(), m_dirFd, m_tempName.constData(), AT_SYMLINK_FOLLOW)
            != 0)
            return failWithErrno();
    }
    m_named = true;
    return true;
}

bool AtomicFile::commit()
{
    if (m_failed || m_fd < 0)
        return abandon(m_error.isEmpty()
                           ? QStringLiteral(QT_TRANSLATE_NOOP("FileError", "not open"))
                           : m_error);
    if ((m_named && !replaceMark()) || !takeAttributes())
        return abandon(m_error);
    if (::fsync(m_fd) != 0 && !noSyncAvailable(errno))
        return abandon(systemError(errno));
    bool ok = m_named || linkUnnamed();
    // Some file systems report a failed write only when the file is closed.
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && ok)
        ok = failWithErrno();
    ok = ok && targetStillReplaceable();
    if (ok && ::renameat(m_dirFd, m_tempName.constData(), m_dirFd, m_name.constData()) != 0)
        ok = failWithErrno();
    if (!ok)
        return abandon(m_error);
    m_named = false;
    // The new name itself made durable; the file is in place even if this fails.
    ::fsync(m_dirFd);
    closeAll();
    return true;
}

void AtomicFile::closeAll()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (m_dirFd >= 0)
        ::close(m_dirFd);
    m_dirFd = -1;
}

void AtomicFile::cancel()
{
    if (m_named && m_dirFd >= 0)
        ::unlinkat(m_dirFd, m_tempName.constData(), 0);
    m_named = false;
    closeAll();
}

bool writeFileAtomically(const QString &path, QByteArrayView bytes, QString *error)
{
    AtomicFile file(path);
    const bool ok = file.open() && file.write(bytes) && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

bool makeFolders(const QString &dir, QString *reason)
{
    const QByteArray path = encodeName(dir);
    const auto notAFolder = [reason] {
        if (reason)
            *reason = QStringLiteral(QT_TRANSLATE_NOOP("FileError", "not a folder"));
        return false;
    };
    struct stat st;
    if (path.isEmpty())
        return true;
    if (::stat(path.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) || notAFolder();
    for (qsizetype slash = path.indexOf('/', 1);; slash = path.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? path : path.left(slash);
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST) {
            if (reason)
                *reason = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        if (slash < 0)
            break;
    }
    return (::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode)) || notAFolder();
}

} // namespace fileio
