#include "engine/page/index/indexfile.h"

#include "engine/page/index/searchdata.h"
#include "engine/page/index/termindex.h"
#include "fileio/atomicfile.h"
#include "fileio/filename.h"
#include "fileio/folderlock.h"
#include "fileio/inputfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>

namespace {

bool failed(QString *error, const char *reason)
{
    if (error)
        *error = QString::fromUtf8(reason);
    return false;
}

QString fileNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// The rows of an index this program wrote, read a row at a time (a row's opening tag may span
// lines in indexes of earlier versions), and where its term files are.
bool readRows(const QString &path, QHash<QString, IndexEntry> &rows, TermFiles &terms,
              QString *error)
{
    QFile file;
    if (fileio::openForReading(path, file, error) != fileio::ReadOpen::Ok)
        return false;
    IndexEntry e;
    QByteArray row;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (file.error() != QFileDevice::NoError) {
            if (error)
                *error = file.errorString();
            return false;
        }
        if (line.startsWith("<meta name=\"pelorin-terms\""))
            terms = TermFiles::fromAttribute(readTermsMeta(QString::fromUtf8(line)));
        if (line.startsWith("<tr data-page="))
            row = line;
        else if (!row.isEmpty())
            row += line;
        if (!row.isEmpty() && line.contains('>')) {
            if (readIndexRow(QString::fromUtf8(row), e))
                rows.insert(e.page, e);
            row.clear();
        }
    }
    return true;
}

// The title names the folder itself, also when the logs were given as "chat.txt" or "./".
QString folderTitle(const QString &folder)
{
    const QString absolute = QDir::cleanPath(fileio::absolutePath(folder));
    const QString name = absolute.mid(absolute.lastIndexOf(u'/') + 1);
    return fileio::printable(name.isEmpty() ? absolute : name);
}

} // namespace

bool isOwnIndex(const QString &path)
{
    QByteArray head;
    return !fileio::isLink(path)
        && fileio::readHead(path, IndexHeadBytes, head) == fileio::ReadOpen::Ok
        && isIndexHead(head);
}

bool pageNameAllowed(const QString &outputPath, const QString &prefix, bool makingIndex,
                     QString *reason)
{
    if (makingIndex && fileNameOf(outputPath) == indexFileName(prefix))
        return failed(
            reason, QT_TRANSLATE_NOOP("FileError", "that is the name of the folder's index page"));
    if (isOwnIndex(outputPath))
        return failed(
            reason, QT_TRANSLATE_NOOP("FileError", "an index page of this program has that name"));
    return true;
}

bool writePageIndex(const QString &folder, const QString &prefix, const QList<IndexEntry> &entries,
                    const TermSpill &spill, QString *error)
{
    const QString name = indexFileName(prefix);
    const QString path = folder + u'/' + name;
    for (const IndexEntry &e : entries) {
        if (e.page == name)
            return failed(
                error, QT_TRANSLATE_NOOP("FileError", "a page of this run has the index's name"));
    }

    // From reading the rows there to putting the new index in place, no other run may write
    // it: each would otherwise drop the rows the other added.
    const fileio::FolderLock lock(folder);
    QHash<QString, IndexEntry> rows;
    TermFiles earlierTerms;
    if (fileio::exists(path)) {
        if (!isOwnIndex(path))
            return failed(error,
                          QT_TRANSLATE_NOOP("FileError", "the name is taken by another file"));
        QHash<QString, IndexEntry> earlier;
        if (!readRows(path, earlier, earlierTerms, error))
            return false;
        for (const IndexEntry &e : std::as_const(earlier)) {
            if (fileio::fileId(folder + u'/' + e.page))
                rows.insert(e.page, e);
            else
                removeSearchData(folder + u'/' + searchDataName(e.page));
        }
    }
    QSet<QString> rewritten;
    for (const IndexEntry &e : entries) {
        rows.insert(e.page, e);
        rewritten.insert(e.page);
    }

    QList<IndexEntry> sorted = rows.values();
    sortNewestFirst(sorted);
    // Without term files the index still searches, by reading every page's data.
    const TermFiles terms = writeTermFiles(folder, prefix, sorted, earlierTerms, rewritten, spill);
    if (!fileio::writeFileAtomically(
            path, indexPage(folderTitle(folder), sorted, terms.attribute()), error))
        return false;
    if (earlierTerms.folder != terms.folder)
        removeTermFiles(folder, earlierTerms);
    return true;
}
