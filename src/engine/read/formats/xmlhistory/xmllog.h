#pragma once

#include "engine/read/linerole.h"

#include <QByteArray>
#include <QList>
#include <QString>

class LineStamps;

// Conversation histories kept by the messenger as XML files, turned into the header/message
// text of a plain log: for every child of the log element (the document element) either
// "sender headerText" and the child's text, or the text framed by two separator lines
// ("―――――") when the child has no sender. The sender is the FriendlyName in the markup of the
// child's first grandchild element, as a serializer writes it (entities stay as entity text).
//
// The document is read as a stream, in one pass whatever its depth or size.

// Converts a history already read into memory. Sets *ok to false, and returns an empty text,
// when the document is not well-formed, or when its structure is refused (see xmlguard.h).
// With `stamps`, each child's Date and Time attributes are noted for the line that opens it;
// with `roles`, every line's LineRole, one byte per line; with `places`, for every header line in
// turn, the document's line (from 1) that names its sender.
QString readXmlLogData(const QByteArray &data, const QString &headerText, bool *ok,
                       LineStamps *stamps = nullptr, QByteArray *roles = nullptr,
                       QList<qint64> *places = nullptr);
