#pragma once

#include "engine/read/linerole.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>
#include <functional>

class QIODevice;

class LineStamps;

// Conversation histories kept by the messenger as XML files, turned into the header/message
// text of a plain log: for every child of the log element (the document element) either
// "sender headerText" and the child's text, or the text framed by two separator lines
// ("―――――") when the child has no sender. The sender is the FriendlyName in the markup of the
// child's first grandchild element, as a serializer writes it (entities stay as entity text).
//
// The document is read as a stream, whatever its depth or size: only the event being read is
// held, never the whole document or its whole text.

// What a conversion hands on besides the text. With `stamps`, each child's Date and Time
// attributes are noted for the line that opens it; with `roles`, every line's LineRole, one byte
// per line; with `places`, for every header line in turn, the document's line (from 1) that names
// its sender. `pieceDone` is called after every piece of the file read.
struct XmlLogOutput
{
    // Takes the text a few thousand lines at a time, each piece ending at a line end; false when
    // it could not be kept (the conversion then stops).
    std::function<bool(QStringView)> text;
    LineStamps *stamps = nullptr;
    QByteArray *roles = nullptr;
    QList<qint64> *places = nullptr;
    std::function<void()> pieceDone;
    // Throws away the text taken so far, for the conversion to start again; false when it
    // cannot. Without it the document is read the parser's way alone.
    std::function<bool()> discard;
    qsizetype lines = 0; // set to the number of lines of the text
};

// How a history is read: by the byte reader (xmlbytes.h) where it takes the document and by the
// parser where it does not; or by either alone (the one checked against the other), the byte
// reader then refusing what it leaves to the parser.
enum class XmlReading { Any, BytesOnly, ParserOnly };

// Converts the history read from `device`, from where it stands. The byte reader converts it in
// one pass where it can; else a first pass looks at its structure (xmlguard.h), then the parser
// reads it from the same place, so the device must be able to go back there. The text, and every
// refusal, are the same either way. False when the document is not well-formed or its structure
// is refused; what was handed to `out.text` until then is to be thrown away.
bool convertXmlLog(QIODevice &device, const QString &headerText, XmlLogOutput &out,
                   XmlReading reading = XmlReading::Any);

// Converts a history already read into memory. Sets *ok to false, and returns an empty text,
// when it does not convert.
QString readXmlLogData(const QByteArray &data, const QString &headerText, bool *ok,
                       LineStamps *stamps = nullptr, QByteArray *roles = nullptr,
                       QList<qint64> *places = nullptr, XmlReading reading = XmlReading::Any);
