#include "engine/read/exportpaths.h"

#include "engine/read/formats/formats.h"

#include <QFileInfo>

namespace exportpaths {

std::optional<Split> split(const QString &path)
{
    // A bare name is no chat path: told without asking the file system, as a folder scan asks
    // for every name it lists.
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash <= 0 || slash == path.size() - 1)
        return std::nullopt;
    if (QFileInfo(path).isFile())
        return std::nullopt;
    Split s {path.left(slash), path.mid(slash + 1)};
    const QFileInfo container(s.container);
    if (container.isFile())
        return mayHoldChats(s.container) ? std::optional(s) : std::nullopt;
    if (container.isDir()) {
        const std::shared_ptr<const ExportFiles> files = open(s.container, nullptr);
        if (files && holder(*files))
            return s;
    }
    return std::nullopt;
}

bool mayHoldChats(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    const QString suffix = info.suffix().toLower();
    if (suffix == u"json" || suffix == u"js")
        return true;
    // Only a ZIP or TAR by name: a text log that happens to start like one stays a log.
    return (suffix == u"zip" || suffix == u"tar") && info.isFile() && ExportFiles::isArchive(path);
}

std::shared_ptr<const ExportFiles> open(const QString &container, QString *error)
{
    std::shared_ptr<const ExportFiles> files = ExportFiles::open(container, error);
    if (!files && (!error || error->isEmpty()))
        files = ExportFiles::single(container);
    return files;
}

const ChatFormat *holder(const ExportFiles &files)
{
    for (const ChatFormat *f : formats::all()) {
        if (f->holdsChats(files))
            return f;
    }
    return nullptr;
}

QString entryName(const ExportFiles &files, const QString &key)
{
    for (const QString &name : files.names()) {
        if (name == key || name.endsWith(u'/' + key))
            return name;
    }
    return {};
}

bool chatsOf(const QString &path, QList<Chat> &chats, QString *error)
{
    chats.clear();
    if (!mayHoldChats(path))
        return false;
    const std::shared_ptr<const ExportFiles> files = open(path, error);
    if (!files)
        return false;
    if (const ChatFormat *f = holder(*files)) {
        QList<ExportChat> held;
        if (!f->chats(*files, held, error))
            return false;
        for (const ExportChat &chat : held)
            chats.append({path + u'/' + chat.key, chat.name});
        return true;
    }
    if (!files->isArchive())
        return false;
    // A ZIP or TAR of logs: each log in it on its own, keyed by its name.
    QStringList seen;
    for (const QString &name : files->names()) {
        const QString key = name.mid(name.lastIndexOf(u'/') + 1);
        if (!formats::isLogName(key) || key.startsWith(u'.') || seen.contains(key))
            continue;
        seen.append(key);
        chats.append({path + u'/' + key, key});
    }
    return true;
}

} // namespace exportpaths
