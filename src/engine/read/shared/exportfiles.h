#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <memory>

// The files of a chat app's export, read where they are: an extracted folder, or the ZIP or TAR
// as downloaded, read in place through libarchive and never unpacked into the user's folders.
// Names are relative and "/"-separated ("messages/inbox/ann_1/message_1.json").
class ExportFiles
{
public:
    virtual ~ExportFiles() = default;

    // A folder, or a file that is a ZIP or TAR by its first bytes; nullptr for anything else
    // (`error` says why when the file is an archive that cannot be read).
    static std::unique_ptr<ExportFiles> open(const QString &path, QString *error = nullptr);
    // One plain file seen as an export of one file (an export whose chats are all in one JSON
    // file): its only name is the file's own.
    static std::unique_ptr<ExportFiles> single(const QString &path);
    // Whether a file starts as a ZIP or a TAR does.
    static bool isArchive(const QString &path);

    const QString &path() const { return m_path; }
    virtual bool isArchive() const = 0;
    virtual bool isSingle() const { return false; }
    // Whether the export holds the file `name`, and the names directly in a folder of it
    // (files and folders, without the folder's own name), in no particular order.
    virtual bool contains(const QString &name) const = 0;
    virtual QStringList children(const QString &folder) const = 0;
    // Every file's name (an archive's, or a folder's down to a few levels).
    virtual QStringList names() const = 0;
    virtual qint64 size(const QString &name) const = 0;
    // The file `name`, opened for reading from its start; seek(0) reads it again. nullptr when it
    // cannot be read (`error` says why).
    virtual std::unique_ptr<QIODevice> file(const QString &name,
                                            QString *error = nullptr) const = 0;
    // The first bytes of a file, for telling what it is.
    QByteArray head(const QString &name, qint64 bytes = 64 * 1024) const;

protected:
    explicit ExportFiles(QString path)
        : m_path(std::move(path))
    {
    }

private:
    QString m_path;
};
