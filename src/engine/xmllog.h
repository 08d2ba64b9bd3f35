#pragma once

#include <QString>

class QDomElement;

// Conversation histories kept by the messenger as XML files, turned into the header/message
// text of a plain log: for every event either "sender headerText" and the event's text, or the
// text framed by two separator lines ("―――――") when the event has no sender.

// Loads the file and converts its log element (the document element). Sets *ok to false, and
// returns an empty text, when the file cannot be read, is not well-formed, or declares entities
// (histories never do; refusing them keeps entity expansion from blowing up).
QString readXmlLog(const QString &path, const QString &headerText, bool *ok);

// The same, for a document already in memory.
QString readXmlLogData(const QByteArray &data, const QString &headerText, bool *ok);

// One line per CR LF, the last line ended by CR LF too.
QString xmlLogToText(const QDomElement &log, const QString &headerText);
