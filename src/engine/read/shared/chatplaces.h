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

        // Moves `pull` to where a walk to the chat `wanted` starts: its own place (`alone`), or
        // else the furthest chat noted. `known` is then the key of the chat there, and `keys`
        // those made up to it; `known` stays empty where nothing is noted. False when the
        // pull cannot be moved there.
        bool start(JsonPull &pull, const QString &wanted, QString &known, bool &alone,
                   ChatKeys &keys) const;
        // The chat `key` starts at `mark`; a walk that stops at it (not `alone`) is the
        // furthest, with the keys made up to it.
        void note(const QString &key, const JsonPull::Mark &mark, bool stops, bool alone,
                  const ChatKeys &keys);
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
