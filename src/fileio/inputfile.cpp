#include "inputfile.h"

#include "filename.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileio {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

ReadOpen refused(ReadOpen status, const QString &why, QString *reason)
{
    if (reason)
        *reason = why;
    return status;
}

ReadOpen kindOf(const struct stat &st, QString *reason)
{
    if (S_ISDIR(st.st_mode))
        return refused(ReadOpen::IsDirectory,
                       QStringLiteral(QT_TRANSLATE_NOOP("FileError", "is a folder")), reason);
    if (!S_ISREG(st.st_mode))
        return refused(ReadOpen::NotRegular,
                       QStringLiteral(QT_TRANSLATE_NOOP("FileError", "not a regular file")),
                       reason);
    return ReadOpen::Ok;
}

} // namespace

ReadOpen openForReading(const QString &path, QFile &file, QString *reason)
{
    const QByteArray name = encodeName(path);
    struct stat st;
    // Looked at before opening: opening a FIFO waits for a writer, opening a device may do
    // anything the device likes.
    if (::stat(name.constData(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return refused(ReadOpen::NotFound,
                           QStringLiteral(QT_TRANSLATE_NOOP("FileError", "no such file")), reason);
        return refused(ReadOpen::NotReadable, systemError(errno), reason);
    }
    if (const ReadOpen kind = kindOf(st, reason); kind != ReadOpen::Ok)
        return kind;

    // Non-blocking, in case the name was swapped for a FIFO since the look.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return refused(ReadOpen::NotReadable, systemError(errno), reason);
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return refused(ReadOpen::NotReadable, systemError(error), reason);
    }
    if (const ReadOpen kind = kindOf(st, reason); kind != ReadOpen::Ok) {
        ::close(fd);
        return kind;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refused(ReadOpen::NotReadable, file.errorString(), reason);
    }
    return ReadOpen::Ok;
}

ReadOpen readWholeFile(const QString &path, QByteArray &bytes, QString *reason)
{
    return readHead(path, -1, bytes, reason);
}

ReadOpen readHead(const QString &path, qsizetype max, QByteArray &bytes, QString *reason)
{
    QFile file;
    if (const ReadOpen status = openForReading(path, file, reason); status != ReadOpen::Ok)
        return status;
    bytes = max < 0 ? file.readAll() : file.read(max);
    if (file.error() != QFileDevice::NoError) {
        bytes.clear();
        return refused(ReadOpen::NotReadable, file.errorString(), reason);
    }
    return ReadOpen::Ok;
}

std::optional<FileId> fileId(const QString &path)
{
    struct stat st;
    if (::stat(encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileId {st.st_dev, st.st_ino};
}

bool exists(const QString &path)
{
    struct stat st;
    return ::lstat(encodeName(path).constData(), &st) == 0;
}

bool isLink(const QString &path)
{
    struct stat st;
    return ::lstat(encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool startsWithMark(const QString &path, QByteArrayView mark)
{
    QByteArray head;
    return !isLink(path) && readHead(path, mark.size(), head) == ReadOpen::Ok && head == mark;
}

} // namespace fileio
