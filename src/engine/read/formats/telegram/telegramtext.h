#pragma once

#include "engine/read/chat/chatmodel.h"

#include <rapidjson/document.h>

// What a Telegram message's fields say, as the model holds it.
namespace telegram {

// "text": a string, or an array of strings and entities ({"type": "link", "text": …}); plain
// text, a link whose address differs from its text followed by the address in parentheses.
QString plainText(const rapidjson::Value &text);
// A service message ("action": "invite_members", …) as the event it tells of.
QString eventText(const rapidjson::Value &message);
// The photo, file, sticker or other media of a message; none when it has none.
std::optional<chat::Attachment> attachment(const rapidjson::Value &message);
// A poll as lines: its question, each answer with its votes, and how many voted.
QStringList poll(const rapidjson::Value &message);
// The export's note in place of a file it left out ("(File not included. …)"), said briefly.
QString notIncluded(const QString &said);
QList<chat::Reaction> reactions(const rapidjson::Value &message);

} // namespace telegram
