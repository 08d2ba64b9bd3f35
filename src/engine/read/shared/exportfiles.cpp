#include "engine/read/shared/exportfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <archive.h>
#include <archive_entry.h>

namespace {

constexpr int FolderDepth = 6; // how deep a folder's names are listed

// The start of a name below a folder, "" for the top.
QString below(const QString &folder)
{
    return folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
}

class FolderFiles : public ExportFiles
{
public:
    explicit FolderFiles(const QString &path)
        : ExportFiles(path)
    {
    }
    bool isArchive() const override { return false; }
    bool contains(const QString &name) const override
    {
        return QFileInfo(path() + u'/' + name).isFile();
    }
    QStringList children(const QString &folder) const override
    {
        return QDir(path() + u'/' + folder)
            .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    }
    QStringList names() const override
    {
        QStringList out;
        const QDir root(path());
        QDirIterator it(path(), QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = root.relativeFilePath(it.next());
            if (name.count(u'/') < FolderDepth)
                out.append(name);
        }
        return out;
    }
    qint64 size(const QString &name) const override
    {
        return QFileInfo(path() + u'/' + name).size();
    }
    std::unique_ptr<QIODevice> file(const QString &name, QString *error) const override
    {
        auto f = std::make_unique<QFile>(path() + u'/' + name);
        if (!f->open(QIODevice::ReadOnly)) {
            if (error)
                *error = f->errorString();
            return nullptr;
        }
        return f;
    }
};

class SingleFile : public FolderFiles
{
public:
    explicit SingleFile(const QFileInfo &file)
        : FolderFiles(file.absolutePath())
        , m_name(file.fileName())
    {
    }
    bool isSingle() const override { return true; }
    bool contains(const QString &name) const override { return name == m_name; }
    QStringList children(const QString &folder) const override
    {
        return folder.isEmpty() ? QStringList {m_name} : QStringList();
    }
    QStringList names() const override { return {m_name}; }

private:
    QString m_name;
};

// One file of an archive, read from the archive's start every time it is opened or rewound.
class ArchiveEntry : public QIODevice
{
public:
    ArchiveEntry(QString archive, QString name, qint64 size)
        : m_archive(std::move(archive))
        , m_name(std::move(name))
        , m_size(size)
    {
    }
    ~ArchiveEntry() override { close(); }

    bool open(OpenMode mode) override
    {
        if (!start())
            return false;
        return QIODevice::open(mode | QIODevice::Unbuffered);
    }
    void close() override
    {
        finish();
        QIODevice::close();
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }
    bool seek(qint64 pos) override
    {
        if (pos == QIODevice::pos())
            return QIODevice::seek(pos);
        if (pos != 0 || !start()) // only the start: the entry is read again
            return false;
        return QIODevice::seek(0);
    }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        if (!m_reading)
            return -1;
        const la_ssize_t got = archive_read_data(m_reading, data, size_t(max));
        if (got < 0) {
            setErrorString(QString::fromLocal8Bit(archive_error_string(m_reading)));
            return -1;
        }
        return got;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    bool start()
    {
        finish();
        m_reading = archive_read_new();
        archive_read_support_filter_all(m_reading);
        archive_read_support_format_zip(m_reading);
        archive_read_support_format_tar(m_reading);
        archive_read_support_format_gnutar(m_reading);
        if (archive_read_open_filename(m_reading, QFile::encodeName(m_archive).constData(),
                                       64 * 1024)
            != ARCHIVE_OK) {
            setErrorString(QString::fromLocal8Bit(archive_error_string(m_reading)));
            finish();
            return false;
        }
        archive_entry *entry = nullptr;
        int r;
        while ((r = archive_read_next_header(m_reading, &entry)) == ARCHIVE_OK
               || r == ARCHIVE_WARN) {
            if (QString::fromUtf8(archive_entry_pathname_utf8(entry)) == m_name)
                return true;
        }
        //: An entry of a ZIP or TAR that could not be found or read again.
        setErrorString(r == ARCHIVE_EOF ? QStringLiteral("%1: not in the archive").arg(m_name)
                                        : QString::fromLocal8Bit(archive_error_string(m_reading)));
        finish();
        return false;
    }
    void finish()
    {
        if (m_reading)
            archive_read_free(m_reading);
        m_reading = nullptr;
    }

    QString m_archive;
    QString m_name;
    qint64 m_size;
    struct archive *m_reading = nullptr;
};

class ArchiveFiles : public ExportFiles
{
public:
    explicit ArchiveFiles(const QString &path)
        : ExportFiles(path)
    {
    }
    // Reads the archive's list of files; false when it is damaged (`error` says where).
    bool list(QString *error)
    {
        struct archive *a = archive_read_new();
        archive_read_support_filter_all(a);
        archive_read_support_format_zip(a);
        archive_read_support_format_tar(a);
        archive_read_support_format_gnutar(a);
        bool ok = archive_read_open_filename(a, QFile::encodeName(path()).constData(), 64 * 1024)
            == ARCHIVE_OK;
        archive_entry *entry = nullptr;
        QString last;
        int r = ARCHIVE_OK;
        while (ok
               && ((r = archive_read_next_header(a, &entry)) == ARCHIVE_OK || r == ARCHIVE_WARN)) {
            const char *utf8 = archive_entry_pathname_utf8(entry);
            QString name = utf8 ? QString::fromUtf8(utf8)
                                : QString::fromLocal8Bit(archive_entry_pathname(entry));
            last = name;
            if (archive_entry_filetype(entry) != AE_IFREG)
                continue;
            if (name.startsWith(QStringLiteral("./")))
                name.remove(0, 2);
            m_sizes.insert(name, archive_entry_size(entry));
            m_names.append(name);
        }
        if (ok && r != ARCHIVE_EOF)
            ok = false;
        if (!ok && error) {
            const QString why = QString::fromLocal8Bit(archive_error_string(a));
            *error = last.isEmpty() ? why : QStringLiteral("%1 (after %2)").arg(why, last);
        }
        archive_read_free(a);
        return ok;
    }

    bool isArchive() const override { return true; }
    bool contains(const QString &name) const override { return m_sizes.contains(name); }
    QStringList children(const QString &folder) const override
    {
        const QString start = below(folder);
        QStringList out;
        for (const QString &name : m_names) {
            if (!name.startsWith(start))
                continue;
            const QString rest = name.mid(start.size());
            const QString child = rest.left(rest.indexOf(u'/'));
            if (!child.isEmpty() && !out.contains(child))
                out.append(child);
        }
        return out;
    }
    QStringList names() const override { return m_names; }
    qint64 size(const QString &name) const override { return m_sizes.value(name, -1); }
    std::unique_ptr<QIODevice> file(const QString &name, QString *error) const override
    {
        // Names as listed: a TAR's "./" kept where it was written.
        QString stored = name;
        auto entry = std::make_unique<ArchiveEntry>(path(), stored, size(name));
        if (!entry->open(QIODevice::ReadOnly)) {
            auto dotted
                = std::make_unique<ArchiveEntry>(path(), QStringLiteral("./") + name, size(name));
            if (dotted->open(QIODevice::ReadOnly))
                return dotted;
            if (error)
                *error = entry->errorString();
            return nullptr;
        }
        return entry;
    }

private:
    QStringList m_names;
    QHash<QString, qint64> m_sizes;
};

} // namespace

bool ExportFiles::isArchive(const QString &path)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(512);
    if (head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06"))
        return true;
    return head.size() >= 262 && head.mid(257, 5) == "ustar";
}

std::unique_ptr<ExportFiles> ExportFiles::single(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() ? std::make_unique<SingleFile>(info) : nullptr;
}

QByteArray ExportFiles::head(const QString &name, qint64 bytes) const
{
    const std::unique_ptr<QIODevice> f = file(name);
    return f ? f->read(bytes) : QByteArray();
}

std::unique_ptr<ExportFiles> ExportFiles::open(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (info.isDir())
        return std::make_unique<FolderFiles>(info.absoluteFilePath());
    if (!isArchive(path))
        return nullptr;
    auto files = std::make_unique<ArchiveFiles>(path);
    if (!files->list(error))
        return nullptr;
    return files;
}
