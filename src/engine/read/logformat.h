#pragma once

#include "codec/detect.h"

#include <QByteArray>
#include <QString>

// What a log was read as, and what that means for its outputs.
struct LogFormat
{
    bool known = false; // false: the log could not be read, nothing was detected
    bool xml = false; // an XML history (its own declared encoding)
    bool lineExport = false; // a LINE talk-history export, turned into header lines
    textcodec::Detection detection; // encoding, mark and line ends of a text log

    // The indented text output: the log's own encoding, mark and line ends, so that without
    // the inserted TABs it is the log byte for byte. A LINE export's converted text is UTF-8;
    // an XML history's text is code page 932 with CR LF.
    textcodec::Encoding textEncoding() const;
    bool textMark() const;
    QByteArray textLineEnd() const;
    QByteArray textTab() const;

    // A LINE export's messages are plain text as typed: a page escapes them rather than reading
    // them as chat markup.
    bool plainText() const { return lineExport; }

    // The HTML page: code page 932 for a Shift-JIS log and an XML history, as it always was;
    // UTF-8 for every other log.
    bool utf8Page() const;
};
