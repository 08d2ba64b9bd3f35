#pragma once

#include "engine/read/shared/chatkeys.h"
#include "engine/read/shared/exportfiles.h"
#include "engine/read/shared/jsonpull.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <map>
#include <optional>

// Where the chats of an export that holds many in one JSON start, noted as readers pass them.
// A run that converts every chat of a large export one after another then reads each from its
// own place, rather than passing over every chat before it again: that would grow with the
// square of their number. Held by the application state for its runs; a file changed since is
// noted afresh.
class ChatPlaces
{
public:
    // One file's chats: where each noted one starts (just past its StartObject), by key, and
    // the last one noted with the keys made up to and with it, to walk on from.
    struct Noted
    {
        QHash<QString, JsonPull::Mark> chats;
        struct Furthest
        {
            QString key;
            JsonPull::Mark mark;
            ChatKeys keys;
        };
        std::optional<Furthest> furthest;
    };

    // The chats noted in the file `name` of an export.
    Noted &noted(const ExportFiles &files, const QString &name);

private:
    struct File
    {
        qint64 size = -1;
        QDateTime modified;
        Noted noted;
    };
    std::map<QString, File> m_files; // a reader holds on to its file's: they stay in place
};

// A walk over the chats of one file to the chat `wanted`, from where the run noted them (none
// noted, or no notes kept: from the top), noting the chats it passes.
class ChatWalk
{
public:
    ChatWalk(ChatPlaces::Noted *noted, QString wanted)
        : m_noted(noted)
        , m_wanted(std::move(wanted))
    {
    }
    // Moves `pull` just past the StartObject of the first chat to look at: `wanted`'s own,
    // the furthest noted, or else the first of all, to which `top` leads from the text's
    // start. False when the pull cannot get there.
    bool begin(JsonPull &pull, bool (*top)(JsonPull &));
    // At each chat, just past its StartObject.
    void atChat(const JsonPull &pull)
    {
        if (m_noted)
            m_mark = pull.mark();
    }
    // The key of the chat at hand, which has `name` (or no name but `id`).
    QString key(const QString &name, const QString &id);
    // Notes the chat at hand, keyed `key`; `stops`: the walk stops there. Whether the walk may
    // go on past it: not when the chat was read from its own place, as the keys after it are
    // not known then.
    bool passed(const QString &key, bool stops);

private:
    ChatPlaces::Noted *m_noted;
    QString m_wanted;
    ChatKeys m_keys;
    QString m_known; // the key of the chat the walk starts at
    bool m_alone = false; // read from its own place
    JsonPull::Mark m_mark;
};
