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
    Notice, // a line of a notice (an event, a date, the export's title)
    Plain, // a line of a text log outside messages and notices (a hash line)
};

// The line that frames a notice, above and below it, in a log's header/message text.
inline const QString SeparatorLine = QStringLiteral("―――――"); // five U+2015
