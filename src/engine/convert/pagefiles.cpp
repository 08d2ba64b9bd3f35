#include "engine/convert/pagefiles.h"

#include "engine/read/exportpaths.h"
#include "engine/read/shared/exportfiles.h"
#include "fileio/atomicfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace {

// How far above a log's folder an unpacked export's top may be.
constexpr int FoldersUp = 4;

// A path that stays inside the export: relative, without "..", no address of the network.
bool insideExport(const QString &path)
{
    if (path.isEmpty() || path.startsWith(u'/') || path.startsWith(u'\\') || path.contains(u':'))
        return false;
    const QStringList parts = QString(path).replace(u'\\', u'/').split(u'/');
    return !parts.contains(QStringLiteral(".."));
}

// The copy's name: the file's own, with what a file system or an address would trip on
// replaced, not too long.
QString copyName(const QString &path)
{
    QString name = path.mid(qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')) + 1);
    for (QChar &c : name) {
        if (c < u' ' || QStringView(u"\\/:*?\"<>|#%").contains(c))
            c = u'_';
    }
    if (name.startsWith(u'.'))
        name.prepend(u'_');
    if (name.size() > 100)
        name = name.left(60) + name.right(40);
    return name.isEmpty() ? QStringLiteral("file") : name;
}

// "a.jpg" taken: "a-2.jpg", "a-3.jpg"…
QString numbered(const QString &name, int n)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString suffix = u'-' + QString::number(n);
    return dot > 0 ? QString(name.left(dot) + suffix + name.mid(dot)) : QString(name + suffix);
}

} // namespace

PageFiles::PageFiles(const QString &logPath, const QString &pagePath)
{
    if (const auto chat = exportpaths::split(logPath))
        m_export = exportpaths::open(chat->container, nullptr);
    else
        m_logFolder = QFileInfo(logPath).absolutePath();
    m_folder = pagePath + QStringLiteral(".files");
    m_folderName = m_folder.mid(m_folder.lastIndexOf(u'/') + 1);
}

PageFiles::~PageFiles() = default;

QString PageFiles::place(const QString &exportPath)
{
    const auto known = m_placed.constFind(exportPath);
    if (known != m_placed.constEnd())
        return *known;
    QString address;
    const QString found = insideExport(exportPath) ? find(exportPath) : QString();
    if (!found.isEmpty()) {
        QString first = copyName(found);
        if (m_nameFilter)
            m_nameFilter(first);
        QString name = first;
        for (int n = 2; m_taken.contains(name.toLower()); ++n)
            name = numbered(first, n);
        if (copy(found, m_folder + u'/' + name)) {
            m_taken.insert(name.toLower());
            address = QString::fromUtf8(QUrl::toPercentEncoding(m_folderName) + '/'
                                        + QUrl::toPercentEncoding(name));
        }
    }
    m_placed.insert(exportPath, address);
    return address;
}

QString PageFiles::find(const QString &exportPath)
{
    const QString path = QString(exportPath).replace(u'\\', u'/');
    if (!m_export) {
        // An unpacked export: named from the log's folder, or from the export's top a few
        // folders up (Meta names a thread's photos from there).
        QDir base(m_logFolder);
        for (int up = 0; up <= FoldersUp; ++up) {
            const QFileInfo file(base.filePath(path));
            if (file.isFile())
                return file.absoluteFilePath();
            if (!base.cdUp())
                break;
        }
        return {};
    }
    if (!m_namesRead) {
        for (const QString &name : m_export->names())
            m_byFileName.insert(name.mid(name.lastIndexOf(u'/') + 1), name);
        m_namesRead = true;
    }
    // The export names it from its own top or from a folder inside it (a chat's folder); where
    // several files end so, the one nearest the top.
    QString best;
    const auto [first, last] = m_byFileName.equal_range(path.mid(path.lastIndexOf(u'/') + 1));
    for (auto it = first; it != last; ++it) {
        const QString &name = *it;
        if ((name == path || name.endsWith(u'/' + path))
            && (best.isEmpty() || name.size() < best.size()))
            best = name;
    }
    return best;
}

bool PageFiles::copy(const QString &found, const QString &target)
{
    if (!m_folderReady) {
        QString reason;
        const QFileInfo folder(m_folder);
        if (folder.isSymLink())
            reason = QCoreApplication::translate("FileError", "it is a symbolic link");
        else if (!fileio::makeFolders(m_folder, &reason) && reason.isEmpty())
            reason = QCoreApplication::translate("FileError", "it could not be made");
        if (!reason.isEmpty()) {
            fail(m_folder, reason);
            return false;
        }
        m_folderReady = true;
    }
    std::unique_ptr<QIODevice> in;
    QString error;
    if (m_export) {
        in = m_export->file(found, &error);
    } else {
        auto file = std::make_unique<QFile>(found);
        if (file->open(QIODevice::ReadOnly))
            in = std::move(file);
        else
            error = file->errorString();
    }
    fileio::AtomicFile out(target);
    bool ok = in && out.open();
    QByteArray chunk;
    while (ok && !in->atEnd()) {
        chunk = in->read(256 * 1024);
        if (chunk.isEmpty() && !in->atEnd()) {
            error = in->errorString();
            ok = false;
        } else {
            ok = out.write(chunk);
        }
    }
    ok = ok && out.commit();
    if (!ok)
        fail(target, error.isEmpty() ? out.errorString() : error);
    return ok;
}

void PageFiles::fail(const QString &file, const QString &reason)
{
    if (!m_failedFile.isEmpty())
        return;
    m_failedFile = file;
    m_error = reason;
}
