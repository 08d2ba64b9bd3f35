#pragma once

#include <QHash>
#include <QString>

// Keys for the chats of an export, made from their names in the export's order, so that a path
// to a chat reads as its name ("talks.zip/Ann") and two chats of one name stay apart
// ("Ann", "Ann (2)"). The same export always gives the same keys.
class ChatKeys
{
public:
    // The key of the next chat, named `name`, or `id` when it has no name.
    QString next(const QString &name, const QString &id)
    {
        QString key = (name.trimmed().isEmpty() ? id : name).trimmed();
        key.replace(u'/', u'_');
        key.replace(u'\\', u'_');
        if (key.isEmpty() || key.startsWith(u'.'))
            key.prepend(u'_');
        const int seen = ++m_seen[key.toCaseFolded()];
        return seen == 1 ? key : QStringLiteral("%1 (%2)").arg(key).arg(seen);
    }

private:
    QHash<QString, int> m_seen;
};
