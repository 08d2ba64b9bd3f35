#pragma once

#include "engine/read/chat/chatmodel.h"

#include <QString>

// A Skype message's "content", which is markup: quotes of the message answered, edit marks,
// shared files, calls, mentions, emoticons, links and the group's activity, turned into the
// model's text, reply, attachments and events. People are named by their ids ("8:live:ann")
// here; the reader names them once it knows their names.
namespace skype {

struct Content
{
    QStringList text;
    QString replyTo; // the id of the message quoted
    QString replySender;
    QString replyQuote;
    bool edited = false;
    QList<chat::Attachment> attachments;
};

// A message of the kinds that say something ("RichText", "Text", "RichText/…").
Content message(const QString &messageType, const QString &content);
// A call or a change of the group ("Event/Call", "ThreadActivity/…") as the event it tells of;
// empty for a type that tells nothing worth showing.
QString event(const QString &messageType, const QString &content, const QString &senderId);
// Whether the type is one of those events.
bool isEvent(const QString &messageType);
// "&lt;" and the others back to the characters they stand for.
QString unescaped(QString text);
// A person's id as a name when the export gives none: "8:live:ann" -> "ann".
QString idName(const QString &id);
// A reaction's key as its emoji ("like" -> 👍).
QString emoji(const QString &key);

} // namespace skype
