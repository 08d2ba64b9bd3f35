#pragma once

#include <QString>

// What a line of a log is, where the log's own structure tells it. The XML histories and LINE
// exports know which line opens a message and which lines are its text, so a message line that
// happens to read like a header line or a separator stays text of its message. The lines of a
// text log have no such structure (Unknown): the line tests sort them.
enum class LineRole : quint8 {
    Unknown,
    Header, // opens a message: the sender, a blank, the header text
    Message, // a line of the message's text
    Frame, // a separator line around a notice
    Notice, // a line of a notice: an event
    Date, // a notice that is a day's heading
    Title, // a notice of the export's own: its title, when it was saved
    // A message line that stands for what is not text: a sticker, a photo, a call.
    Placeholder,
    Plain, // a line of a text log outside messages and notices (a hash line)
    // The short lines of a chat export's message, each a Placeholder to every output but the
    // modern page, which shows them as what they are.
    Reply, // the message it answers: its sender and a quote
    Attachment, // a file it carries
    Reactions, // who answered it with which emoji
    Edited, // it was edited
};

// The short lines of a message that stand for something besides its text.
inline bool isPlaceholderLine(LineRole role)
{
    return role == LineRole::Placeholder || role >= LineRole::Reply;
}

// The lines of a message's text, and the lines of a notice.
inline bool isMessageLine(LineRole role)
{
    return role == LineRole::Message || isPlaceholderLine(role);
}
inline bool isNoticeLine(LineRole role)
{
    return role == LineRole::Notice || role == LineRole::Date || role == LineRole::Title;
}

// The line that frames a notice, above and below it, in a log's header/message text.
inline const QString SeparatorLine = QStringLiteral("―――――"); // five U+2015
