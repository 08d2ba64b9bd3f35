#include "engine/page/index/termindex.h"

#include "engine/page/index/searchdata.h"
#include "engine/page/index/termbuckets.h"
#include "fileio/atomicfile.h"
#include "fileio/filename.h"
#include "fileio/folder.h"
#include "fileio/inputfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

using namespace searchterms;

namespace {

const QByteArray TermsMark = QByteArrayLiteral("/* Pelorin search terms */\n");
const QByteArray PagesMark = QByteArrayLiteral("Pelorin search terms 1 ");
const QString PagesName = QStringLiteral("pages");
// About this many bytes to a term file: a query loads a few of them.
constexpr qint64 ShardBytes = 64 * 1024;
constexpr quint32 MaxShards = 4096;

QString shardName(quint32 shard)
{
    return QStringLiteral("%1.js").arg(shard, 4, 10, QLatin1Char('0'));
}

// The string literal at `at` in a line of search data or term file, as appendJsString() wrote
// it; `at` goes past it. False when there is none.
bool readJsString(QByteArrayView line, qsizetype &at, QString &text)
{
    text.clear();
    if (at >= line.size() || line[at] != '"')
        return false;
    qsizetype from = ++at;
    const auto copy = [&] {
        text += QString::fromUtf8(line.sliced(from, at - from));
    };
    while (at < line.size()) {
        const char c = line[at];
        if (c == '"') {
            copy();
            ++at;
            return true;
        }
        if (c != '\\') {
            ++at;
            continue;
        }
        copy();
        if (at + 1 >= line.size())
            return false;
        const char e = line[at + 1];
        if (e == 'n') {
            text += u'\n';
            at += 2;
        } else if (e == '"' || e == '\\') {
            text += QLatin1Char(e);
            at += 2;
        } else if (e == 'u' && at + 6 <= line.size()) {
            bool ok = false;
            const uint unit = line.sliced(at + 2, 4).toUInt(&ok, 16);
            if (!ok)
                return false;
            text += QChar(char16_t(unit));
            at += 6;
        } else {
            return false;
        }
        from = at;
    }
    return false;
}

// What a page's search data is now: its size and when it was written; empty when it is none.
QByteArray dataStamp(const QString &path)
{
    struct stat st;
    if (::lstat(fileio::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return QByteArray::number(qint64(st.st_size)) + ' '
        + QByteArray::number(qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec);
}

QString dataPathOf(const QString &folder, const QString &page)
{
    return folder + u'/' + searchDataName(page);
}

// A folder of term files: a folder itself, never a link.
bool isRealFolder(const QString &path)
{
    struct stat st;
    return ::lstat(fileio::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The pages earlier term files were made from, by their row there: each one's row now, or -1
// where what they say of it no longer stands (`stamps`: each row's search data now).
bool earlierRows(const QString &dir, const TermFiles &earlier, const QHash<QString, quint32> &rowOf,
                 const QSet<QString> &rewritten, const QList<QByteArray> &stamps,
                 QList<qint64> &mapped)
{
    QByteArray bytes;
    if (!fileio::startsWithMark(dir + u'/' + PagesName, PagesMark)
        || fileio::readWholeFile(dir + u'/' + PagesName, bytes) != fileio::ReadOpen::Ok)
        return false;
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.value(0) != PagesMark + QByteArray::number(earlier.shards))
        return false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        if (line.isEmpty())
            continue;
        const qsizetype link = line.lastIndexOf(' ');
        if (link < 0)
            return false;
        const QString page
            = fileio::decodeName(QByteArray::fromPercentEncoding(line.mid(link + 1)));
        const auto row = rowOf.constFind(page);
        const bool stands
            = row != rowOf.cend() && !rewritten.contains(page) && line.left(link) == stamps[*row];
        mapped.append(stands ? qint64(*row) : -1);
    }
    return true;
}

// Hands what the earlier term files say of the pages that stand to `buckets`. False when any
// of them cannot be read: then none of it counts.
bool takeOverEarlier(const QString &dir, const TermFiles &earlier, const QList<qint64> &mapped,
                     TermBuckets &buckets)
{
    QList<std::pair<quint32, quint32>> postings;
    for (quint32 shard = 0; shard < earlier.shards; ++shard) {
        const QString path = dir + u'/' + shardName(shard);
        QByteArray bytes;
        if (!fileio::startsWithMark(path, TermsMark)
            || fileio::readWholeFile(path, bytes) != fileio::ReadOpen::Ok)
            return false;
        const QList<QByteArray> lines = bytes.split('\n');
        for (qsizetype i = 2; i < lines.size(); ++i) {
            const QByteArray &line = lines[i];
            if (!line.startsWith('"'))
                continue;
            qsizetype at = 0;
            QString term, list;
            Term t = 0;
            if (!readJsString(line, at, term) || line.mid(at, 1) != ","
                || !readJsString(line, ++at, list) || !termOf(term, t)
                || !readPostings(list.toLatin1(), postings))
                return false;
            for (const auto &[row, count] : postings) {
                if (row < mapped.size() && mapped[row] >= 0)
                    buckets.add(t, quint32(mapped[row]), count);
            }
        }
    }
    return true;
}

// The folder `name` made ready for new term files: created, or emptied of this program's files.
// False when something else has the name or holds files there.
bool prepareFolder(const QString &path)
{
    if (!fileio::exists(path))
        return fileio::makeFolders(path);
    if (!isRealFolder(path))
        return false;
    removeTermFiles(path.left(path.lastIndexOf(u'/')),
                    TermFiles {path.mid(path.lastIndexOf(u'/') + 1), MaxShards});
    QList<fileio::FolderEntry> left;
    return fileio::listFolder(path, left) && left.isEmpty();
}

quint32 shardCountFor(qint64 postings)
{
    // Each of a term's pages takes two or three digits.
    const qint64 bytes = postings * 3;
    quint32 shards = 1;
    while (shards < MaxShards && bytes / shards > ShardBytes)
        shards *= 2;
    return shards;
}

bool writeShards(const QString &dir, quint32 shards, TermBuckets &buckets, QString *error)
{
    const quint32 groups = std::min<quint32>(shards, TermBuckets::Count);
    QList<TermBuckets::Record> records;
    for (quint32 group = 0; group < groups; ++group) {
        records.clear();
        for (int b = 0; b < TermBuckets::Count; ++b) {
            if ((quint32(b) & (groups - 1)) == group && !buckets.read(b, records)) {
                if (error)
                    *error = buckets.errorString();
                return false;
            }
        }
        const auto shardKey = [shards](const TermBuckets::Record &r) {
            return std::tuple(shardOf(r.term, shards), r.term, r.row);
        };
        std::sort(records.begin(), records.end(),
                  [&](const auto &a, const auto &b) { return shardKey(a) < shardKey(b); });
        qsizetype at = 0;
        for (quint32 shard = group; shard < shards; shard += groups) {
            QByteArray out = TermsMark;
            out.append("pelorinSearchTerms(1, ").append(QByteArray::number(shard)).append(", [\n");
            QList<std::pair<quint32, quint32>> postings;
            while (at < records.size() && shardOf(records[at].term, shards) == shard) {
                const Term term = records[at].term;
                postings.clear();
                for (; at < records.size() && records[at].term == term; ++at)
                    postings.append({records[at].row, records[at].count});
                appendJsString(termText(term), out);
                out.append(",\"");
                appendPostings(postings, out);
                out.append("\",\n");
            }
            out.append("]);\n");
            if (!fileio::writeFileAtomically(dir + u'/' + shardName(shard), out, error))
                return false;
        }
    }
    return true;
}

} // namespace

QString TermFiles::attribute() const
{
    return isValid() ? pageLink(folder) + QStringLiteral("/ ") + QString::number(shards)
                     : QString();
}

TermFiles TermFiles::fromAttribute(QStringView text)
{
    const qsizetype space = text.lastIndexOf(u' ');
    if (space < 2 || text[space - 1] != u'/')
        return {};
    bool ok = false;
    const quint32 shards = text.sliced(space + 1).toUInt(&ok);
    if (!ok || shards == 0 || shards > MaxShards || (shards & (shards - 1)) != 0)
        return {};
    const QString folder
        = fileio::decodeName(QByteArray::fromPercentEncoding(text.first(space - 1).toLatin1()));
    if (folder.contains(u'/') || folder == u"." || folder == u"..")
        return {};
    return TermFiles {folder, shards};
}

TermFiles writeTermFiles(const QString &folder, const QString &prefix, QList<IndexEntry> &rows,
                         const TermFiles &earlier, const QSet<QString> &rewritten,
                         const TermSpill &spill, QString *error)
{
    QHash<QString, quint32> rowOf;
    QList<QByteArray> stamps; // each row's search data as it is now, looked at once
    for (qsizetype r = 0; r < rows.size(); ++r) {
        rowOf.insert(rows[r].page, quint32(r));
        stamps.append(rows[r].searchData ? dataStamp(dataPathOf(folder, rows[r].page)) : "-");
    }
    TermBuckets buckets;
    QList<bool> covered(rows.size(), false);
    if (earlier.isValid() && isRealFolder(folder + u'/' + earlier.folder)) {
        const QString dir = folder + u'/' + earlier.folder;
        QList<qint64> mapped;
        if (earlierRows(dir, earlier, rowOf, rewritten, stamps, mapped)
            && takeOverEarlier(dir, earlier, mapped, buckets)) {
            for (const qint64 row : std::as_const(mapped)) {
                if (row >= 0)
                    covered[row] = true;
            }
        } else {
            buckets.clear();
        }
    }
    TermSpill::Terms kept;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        if (!rows[r].searchData || covered[r])
            continue;
        if (rows[r].termsAt < 0 || !spill.read(rows[r].termsAt, kept)) {
            PageTerms terms;
            if (!readPageTerms(dataPathOf(folder, rows[r].page), terms)) {
                rows[r].searchData = false; // listed as a page the search cannot read
                continue;
            }
            kept = terms.sorted();
        }
        for (const auto &[term, count] : std::as_const(kept))
            buckets.add(term, quint32(r), count);
    }

    const QString base = indexFileName(prefix).chopped(4) + QStringLiteral(".search-");
    const QString name = base + (earlier.folder == base + u'a' ? u'b' : u'a');
    const QString dir = folder + u'/' + name;
    const TermFiles written {name, shardCountFor(buckets.records())};
    QByteArray pages = PagesMark + QByteArray::number(written.shards) + '\n';
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QByteArray &stamp = rows[r].searchData ? stamps[r] : QByteArray("-");
        pages.append(stamp.isEmpty() ? "-" : stamp).append(' ');
        pages.append(pageLink(rows[r].page).toLatin1()).append('\n');
    }
    if (!buckets.errorString().isEmpty()) {
        if (error)
            *error = buckets.errorString();
        return {};
    }
    if (!prepareFolder(dir)) {
        if (error)
            *error = QCoreApplication::translate("FileError", "the name is taken by another file");
        return {};
    }
    // The list of pages last: a folder without it is never taken over.
    if (!writeShards(dir, written.shards, buckets, error)
        || !fileio::writeFileAtomically(dir + u'/' + PagesName, pages, error))
        return {};
    return written;
}

void removeTermFiles(const QString &folder, const TermFiles &files)
{
    if (files.folder.isEmpty())
        return;
    const QString dir = folder + u'/' + files.folder;
    QList<fileio::FolderEntry> entries;
    if (!isRealFolder(dir) || !fileio::listFolder(dir, entries))
        return;
    for (const fileio::FolderEntry &e : std::as_const(entries)) {
        const QString path = dir + u'/' + e.name;
        if (e.kind == fileio::FolderEntry::Kind::File
            && (fileio::startsWithMark(path, TermsMark)
                || (e.name == PagesName && fileio::startsWithMark(path, PagesMark))))
            ::unlink(fileio::encodeName(path).constData());
    }
    ::rmdir(fileio::encodeName(dir).constData()); // only when nothing else is left
}

bool readPageTerms(const QString &dataPath, PageTerms &terms)
{
    QFile file;
    if (!isOwnSearchData(dataPath)
        || fileio::openForReading(dataPath, file) != fileio::ReadOpen::Ok)
        return false;
    file.readLine(); // the mark
    if (!file.readLine().startsWith("pelorinSearchData(1, "))
        return false;
    QString text;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (file.error() != QFileDevice::NoError)
            return false;
        if (line.startsWith("]);"))
            return true;
        if (line.startsWith('"')) // a new day
            continue;
        qsizetype at = 0;
        while (at < line.size() && line[at] >= '0' && line[at] <= '9')
            ++at;
        if (at == 0 || line.mid(at, 1) != "," || !readJsString(line, ++at, text))
            return false;
        terms.addUtterance(text);
    }
    return false;
}
