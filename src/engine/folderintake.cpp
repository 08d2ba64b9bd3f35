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

// The output names the logs among `entries` would get beside them.
QSet<QString> outputNames(const QList<fileio::FolderEntry> &entries, const QString &addStr)
{
    QSet<QString> names;
    if (addStr.isEmpty())
        return names;
    for (const fileio::FolderEntry &entry : entries) {
        if (entry.kind == Kind::File && isLogPath(entry.name))
            names.insert(outputStemOfName(entry.name, addStr) + outputExtension(0));
    }
    return names;
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
        const QSet<QString> outputs = outputNames(entries, addStr);
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
