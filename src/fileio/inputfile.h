#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <sys/types.h>

class QFile;

// Opening files for reading by their exact bytes, and telling whether two names reach the
// same file.
namespace fileio {

enum class ReadOpen {
    Ok,
    NotFound, // no such file
    IsDirectory, // a folder
    NotRegular, // a FIFO, a device or a socket: refused before anything could block on it
    NotReadable, // could not be opened or read
};

// Opens `path` for reading when it is a regular file (also through a link). `reason` gets a
// few words on why not: the system's error text, or words of this layer marked
// QT_TRANSLATE_NOOP("FileError", …) so that a batch run can say them in the user's language.
ReadOpen openForReading(const QString &path, QFile &file, QString *reason = nullptr);

// The whole content of a regular file.
ReadOpen readWholeFile(const QString &path, QByteArray &bytes, QString *reason = nullptr);
// At most the first `max` bytes of a regular file, however large the file is (all of it when
// `max` is negative).
ReadOpen readHead(const QString &path, qsizetype max, QByteArray &bytes, QString *reason = nullptr);

// Which file a name reaches, following links; nothing when it reaches none.
struct FileId
{
    dev_t device = 0;
    ino_t inode = 0;
    friend bool operator==(const FileId &, const FileId &) = default;
};
std::optional<FileId> fileId(const QString &path);

// True when something (a link too, even a dangling one) has this name.
bool exists(const QString &path);
// True when the name is a symbolic link (whatever it points to).
bool isLink(const QString &path);
// True when the name is a regular file, not a link, whose first bytes are `mark`: a file this
// program wrote and marked so. Only its head is read.
bool startsWithMark(const QString &path, QByteArrayView mark);

} // namespace fileio
