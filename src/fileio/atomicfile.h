#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <sys/types.h>

// Every file the program writes is written through AtomicFile: the bytes go to a temporary
// in the same folder, every write is checked, and only when all of them succeeded (and the
// data reached the disk) does the temporary take the file's name. Otherwise the temporary is
// removed and an earlier file of that name stays exactly as it was.
//
// It never writes through a symbolic link and never replaces anything but a regular file:
// such a name is refused, the link and whatever it points to left alone. A replaced file
// keeps its permission bits and, where allowed, its owner; where the file system keeps no
// such thing (FAT) or does not implement changing it (some FUSE mounts), the new file gets
// what the file system gives. A file the user may not write is refused as well, even where
// the folder would allow replacing it.
//
// Where the file system offers unnamed temporaries the data has no name until the commit;
// otherwise the temporary is "." + name + ".pelorin-tmp" next to the file, created
// exclusively and marked as the program's own (see temporarymark.h: an extended attribute,
// and its first bytes, which hold the data's own only from the commit on). Opening removes
// every temporary of the same file that a killed run left behind, under any of its names, so
// that killed runs leave at most one; a file of such a name that is not one (the user's own,
// another user's, a living writer's, a folder) stays, and the temporary takes another name
// (".pelorin-tmp-2", …).
namespace fileio {

class AtomicFile
{
public:
    enum class Temporary {
        UnnamedIfPossible,
        Named, // always the hidden named temporary
    };

    explicit AtomicFile(const QString &path, Temporary temporary = Temporary::UnnamedIfPossible);
    ~AtomicFile(); // an uncommitted file is cancelled
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // Checks the name and creates the temporary. False (with errorString()) when the file may
    // not be written.
    bool open();
    // Writes all of `bytes`; false once any write failed (later writes do nothing).
    bool write(QByteArrayView bytes);
    // Makes the data durable and gives it the file's name. False, with nothing changed under
    // the name, when anything failed since open().
    bool commit();
    // Drops the temporary; the file stays as it was.
    void cancel();

    bool isOpen() const { return m_fd >= 0; }
    // Why the last step failed, in a few words: the system's error text, or words marked
    // QT_TRANSLATE_NOOP("FileError", …) for the translations.
    QString errorString() const { return m_error; }
    const QString &path() const { return m_path; }

    // The hidden temporary's name for a file name (both as bytes): the first choice, or the
    // one after `attempt` others were taken.
    static QByteArray temporaryName(const QByteArray &fileName, int attempt = 0);

private:
    bool fail(const QString &reason);
    bool failWithErrno();
    bool abandon(const QString &reason); // cancels, then fails
    bool writeAt(int fd, QByteArrayView bytes, qint64 offset);
    bool targetStillReplaceable();
    bool replaceMark(); // the data's first bytes take the mark's place
    bool takeAttributes(); // the replaced file's owner, and the mode
    bool linkUnnamed();
    void closeAll();

    QString m_path;
    Temporary m_temporary;
    QByteArray m_name; // the file's name in its folder
    QByteArray m_tempName;
    int m_dirFd = -1;
    int m_fd = -1;
    bool m_named = false; // the temporary has a name that must be removed on failure
    bool m_failed = false;
    QString m_error;
    // A named temporary's mark takes the place of the data's first m_heldBack bytes, kept in
    // m_head until the commit; m_size counts all the data written.
    qsizetype m_heldBack = 0;
    QByteArray m_head;
    qint64 m_size = 0;
    bool m_replacing = false; // a file of that name exists, owned by these:
    uid_t m_owner = 0;
    gid_t m_group = 0;
    mode_t m_mode = 0; // the replaced file's, or what the umask gives a new one
};

// Writes the whole of `bytes` as the file's new content in one atomic step.
bool writeFileAtomically(const QString &path, QByteArrayView bytes, QString *error = nullptr);

// Creates the folder and any missing parent folders. False, with `reason` in a few words, when
// it cannot be made or something else has its name.
bool makeFolders(const QString &dir, QString *reason = nullptr);

} // namespace fileio
