#include "engine/folderintake.h"

#include "engine/intake.h"
#include "engine/read/formats/formats.h"
#include "engine/selection.h"
#include "fileio/folder.h"

#include <QSet>

namespace {

using Kind = fileio::FolderEntry::Kind;

QString joined(const QString &folder, const QString &name)
{
    return folder.endsWith(u'/') ? QString(folder + name) : QString(folder + u'/' + name);
}

// The outputs that the logs among `entries` would get beside them: a log's by its name, and the
// chats' of an export by the start their names share ("_talks_" for talks.zip; which chats it
// holds is not read here).
struct Outputs
{
    QSet<QString> names;
    QStringList chatStarts;

    bool contains(const QString &name) const
    {
        if (names.contains(name))
            return true;
        for (const QString &start : chatStarts) {
            if (name.startsWith(start))
                return true;
        }
        return false;
    }
};

Outputs outputsOf(const QList<fileio::FolderEntry> &entries, const QString &addStr)
{
    Outputs outputs;
    if (addStr.isEmpty())
        return outputs;
    for (const fileio::FolderEntry &entry : entries) {
        if (entry.kind != Kind::File || !isLogPath(entry.name))
            continue;
        const QString stem = outputStemOfName(entry.name, addStr);
        outputs.names.insert(stem + outputExtension(0));
        const QString suffix = entry.name.sliced(entry.name.lastIndexOf(u'.') + 1).toLower();
        if (suffix == u"json" || suffix == u"js" || suffix == u"zip" || suffix == u"tar")
            outputs.chatStarts.append(stem.chopped(1) + u'_'); // the stem ends in its dot
    }
    return outputs;
}

} // namespace

FolderScan scanFolder(const QString &folder, bool recursive, const QString &addStr,
                      std::optional<fileio::FileId> skipFolder)
{
    FolderScan scan;
    QString root = folder;
    while (root.size() > 1 && root.endsWith(u'/'))
        root.chop(1);
    // Folders still to list, as paths relative to the root; a folder met twice (a bind mount
    // of its own parent) is listed once.
    QList<QString> pending {QString()};
    QSet<std::pair<quint64, quint64>> seen;
    QList<fileio::FolderEntry> entries;
    while (!pending.isEmpty()) {
        const QString sub = pending.takeLast();
        const QString dir = sub.isEmpty() ? root : joined(root, sub);
        if (const auto id = fileio::fileId(dir)) {
            if (skipFolder && *id == *skipFolder && !sub.isEmpty())
                continue;
            const std::pair<quint64, quint64> key(quint64(id->device), quint64(id->inode));
            if (seen.contains(key))
                continue;
            seen.insert(key);
        }
        QString reason;
        if (!fileio::listFolder(dir, entries, &reason)) {
            scan.unreadable.append({dir, reason});
            continue;
        }
        const Outputs outputs = outputsOf(entries, addStr);
        for (const fileio::FolderEntry &entry : entries) {
            if (entry.name.startsWith(u'.'))
                continue;
            if (entry.kind == Kind::Folder && recursive)
                pending.append(sub.isEmpty() ? entry.name : joined(sub, entry.name));
            else if (entry.kind == Kind::File && isLogPath(entry.name)
                     && !outputs.contains(entry.name)
                     && !formats::isPartOfLog(joined(dir, entry.name)))
                scan.logs.append({joined(dir, entry.name), sub});
        }
    }
    return scan;
}
