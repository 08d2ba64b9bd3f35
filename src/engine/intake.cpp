#include "engine/intake.h"

#include "engine/read/exportpaths.h"
#include "engine/read/formats/formats.h"
#include "fileio/folder.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

QStringList splitLogPathText(const QString &text)
{
    QStringList items;
    qsizetype start = 0;
    qsizetype search = 0;
    for (;;) {
        const qsizetype blank = text.indexOf(u' ', search);
        if (blank < 0)
            break;
        const bool drive = blank + 2 < text.size() && text[blank + 2] == u':';
        const bool root = blank + 1 < text.size() && text[blank + 1] == u'/';
        if (drive || root) {
            items.append(text.sliced(start, blank - start));
            start = blank + 1;
        }
        search = blank + 1;
    }
    items.append(text.sliced(start));
    return items;
}

bool isLogPath(const QString &path)
{
    return formats::isLogName(path);
}

namespace {

// A chat's key as part of a file name: what no file system takes goes, and a log's extension.
QString keyForName(QString key)
{
    if (formats::isLogName(key))
        key.truncate(key.lastIndexOf(u'.'));
    for (QChar &c : key) {
        if (c < u' ' || QStringView(u"\\/:*?\"<>|").contains(c))
            c = u'_';
    }
    return key.left(80);
}

} // namespace

bool isChatExport(const QString &path)
{
    if (fileio::isFolder(path)) {
        const auto files = exportpaths::open(path, nullptr);
        return files && exportpaths::holder(*files);
    }
    return exportpaths::mayHoldChats(path) && !isLogPath(path);
}

namespace {

// A path written the Windows way ("C:\log\chat.txt", "\\server\logs\chat.txt"), as stored
// settings and tests give them: its "\" separates folders. Anywhere else a "\" is part of a
// file's name, as Linux has it.
bool windowsPath(QStringView path)
{
    const bool drive = path.size() >= 3 && path[0].isLetter() && path[0].unicode() < 0x80
        && path[1] == u':' && path[2] == u'\\';
    return drive || path.startsWith(u"\\\\");
}

} // namespace

qsizetype nameStart(const QString &path)
{
    if (windowsPath(path))
        return qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/')) + 1;
    return path.lastIndexOf(u'/') + 1;
}

QString outputStemOfName(QStringView name, const QString &addStr)
{
    // The log's extension goes ("chat.json" -> "_chat."); for any other name its last three
    // characters, as names were always made.
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype extension = dot >= 0 && formats::isLogName(name) ? name.size() - dot - 1 : 3;
    return addStr + name.chopped(qMin<qsizetype>(extension, name.size()));
}

QString outputStem(const QString &path, const QString &addStr)
{
    // A chat of an export: named by the export and the chat ("_talks_Ann." for "talks.zip/Ann").
    if (!windowsPath(path)) {
        if (const auto chat = exportpaths::split(path)) {
            const qsizetype slash = chat->container.lastIndexOf(u'/');
            QString name = chat->container.mid(slash + 1);
            if (const qsizetype dot = name.lastIndexOf(u'.'); dot > 0)
                name.truncate(dot);
            return chat->container.left(slash + 1) + addStr + name + u'_' + keyForName(chat->key)
                + u'.';
        }
    }
    const qsizetype name = nameStart(path);
    return path.left(name) + outputStemOfName(QStringView(path).sliced(name), addStr);
}

QString outputStem(const QString &path, const QString &addStr, const QString &outputFolder)
{
    if (!windowsPath(path) && exportpaths::split(path)) { // a chat: named by its export
        const QString stem = outputStem(path, addStr);
        return outputFolder + u'/' + stem.sliced(stem.lastIndexOf(u'/') + 1);
    }
    return outputFolder + u'/'
        + outputStemOfName(QStringView(path).sliced(path.lastIndexOf(u'/') + 1), addStr);
}

namespace {

const QCollator &pathCollator()
{
    static const QCollator collator = [] {
        QCollator c {QLocale(QLocale::Japanese, QLocale::Japan)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

} // namespace

int compareLogPaths(const QString &a, const QString &b)
{
    const int byLocale = pathCollator().compare(a, b);
    if (byLocale != 0)
        return byLocale;
    return a.compare(b); // exact code-point order
}

int addLogFiles(Selection &selection, const QStringList &paths, const QString &addStr)
{
    // The logs are sorted once, by keys made once per path, and merged with those already
    // selected: as if each were inserted at its place in turn, without moving the list for
    // every one of them (a folder of a million logs).
    struct Added
    {
        QCollatorSortKey key;
        QString path;
    };
    std::vector<Added> added;
    QList<exportpaths::Chat> chats;
    for (const QString &path : paths) {
        // An export of many chats gives each of them; a ZIP or TAR of logs each of its logs.
        if (exportpaths::mayHoldChats(path) && exportpaths::chatsOf(path, chats, nullptr)) {
            for (const exportpaths::Chat &chat : chats)
                added.push_back({pathCollator().sortKey(chat.path), chat.path});
        } else if (isLogPath(path) || exportpaths::split(path)) {
            added.push_back({pathCollator().sortKey(path), path});
        }
    }
    const int accepted = int(added.size());
    if (accepted == 0) {
        selection.setHeldBack(true); // the stored pairs wait for an intake that takes one
        return 0;
    }
    const auto before = [](const Added &a, const Added &b) {
        const int byLocale = a.key.compare(b.key);
        return byLocale != 0 ? byLocale < 0 : a.path < b.path;
    };
    std::stable_sort(added.begin(), added.end(), before);
    added.erase(std::unique(added.begin(), added.end(),
                            [](const Added &a, const Added &b) { return a.path == b.path; }),
                added.end());

    const QList<Selection::Item> &held = selection.items();
    QList<Selection::Item> merged;
    merged.reserve(held.size() + qsizetype(added.size()));
    auto next = added.cbegin();
    for (const Selection::Item &item : held) {
        for (; next != added.cend() && compareLogPaths(next->path, item.path) < 0; ++next)
            merged.append({next->path, outputStem(next->path, addStr)});
        if (next != added.cend() && next->path == item.path)
            ++next; // selected already
        merged.append(item);
    }
    for (; next != added.cend(); ++next)
        merged.append({next->path, outputStem(next->path, addStr)});
    selection.setItems(std::move(merged));
    return accepted;
}
