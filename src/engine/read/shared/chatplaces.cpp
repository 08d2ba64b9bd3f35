#include "engine/read/shared/chatplaces.h"

#include <QFileInfo>

ChatPlaces::Noted &ChatPlaces::noted(const ExportFiles &files, const QString &name)
{
    // The file itself tells whether it changed; an archive's entries change with the archive.
    const QFileInfo info(files.isArchive() ? files.path() : files.path() + u'/' + name);
    File &file = m_files[files.path() + u'\n' + name];
    if (file.size != info.size() || file.modified != info.lastModified()) {
        file = File();
        file.size = info.size();
        file.modified = info.lastModified();
    }
    return file.noted;
}

bool ChatPlaces::Noted::start(JsonPull &pull, const QString &wanted, QString &known, bool &alone,
                              ChatKeys &keys) const
{
    if (const auto it = chats.constFind(wanted); it != chats.cend()) {
        known = wanted;
        alone = true;
        return pull.resume(*it);
    }
    if (!furthest)
        return true;
    known = furthest->key;
    keys = furthest->keys;
    return pull.resume(furthest->mark);
}

void ChatPlaces::Noted::note(const QString &key, const JsonPull::Mark &mark, bool stops, bool alone,
                             const ChatKeys &keys)
{
    chats.insert(key, mark);
    if (stops && !alone)
        furthest = Furthest {key, mark, keys};
}
