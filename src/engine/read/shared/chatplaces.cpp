#include "engine/read/shared/chatplaces.h"

#include <QFileInfo>
#include <utility>

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

bool ChatWalk::begin(JsonPull &pull, bool (*top)(JsonPull &))
{
    if (m_noted) {
        if (const auto it = m_noted->chats.constFind(m_wanted); it != m_noted->chats.cend()) {
            m_known = m_wanted;
            m_alone = true;
            return pull.resume(*it);
        }
        if (m_noted->furthest) {
            m_known = m_noted->furthest->key;
            m_keys = m_noted->furthest->keys;
            return pull.resume(m_noted->furthest->mark);
        }
    }
    return top(pull);
}

QString ChatWalk::key(const QString &name, const QString &id)
{
    if (m_known.isEmpty())
        return m_keys.next(name, id);
    return std::exchange(m_known, QString());
}

bool ChatWalk::passed(const QString &key, bool stops)
{
    if (m_noted) {
        m_noted->chats.insert(key, m_mark);
        if (stops && !m_alone)
            m_noted->furthest = ChatPlaces::Noted::Furthest {key, m_mark, m_keys};
    }
    return !m_alone;
}
