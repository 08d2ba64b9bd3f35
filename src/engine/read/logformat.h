#pragma once

#include "codec/detect.h"
#include "engine/read/logkind.h"

#include <QByteArray>
#include <QString>

// What a log was read as, and what that means for its outputs.
struct LogFormat
{
    bool known = false; // false: the log could not be read, nothing was detected
    // What it is read as (by its name, then by its head): the list of formats chose it.
    FormatId format = FormatId::TextLog;
    // Several exports of one chat read as one (mergedlog.h): its records come from them all,
    // whatever their format, which `format` then names for the first of them.
    bool merged = false;
    // Merged logs that all hold chat markup (text logs, XML histories): kept as markup.
    bool mergedMarkup = false;
    // An XML history (its own declared encoding).
    bool xml() const { return !merged && format == FormatId::XmlHistory; }
    // A LINE talk-history export, turned into header lines.
    bool lineExport() const { return !merged && format == FormatId::LineExport; }
    // An app's export read into records (chat/recordlines.h) and turned into header lines.
    bool chatExport() const
    {
        return known && (merged || (!xml() && !lineExport() && format != FormatId::TextLog));
    }
    // An XML history holding characters code page 932 lacks: its indented text is written in
    // UTF-8 with a mark rather than lose them.
    bool textInUtf8 = false;
    textcodec::Detection detection; // encoding, mark and line ends of a text log
    // What a log that gave no speakers looks like (LogReader::lookAtForeignKind), and the format
    // it was read in or looks like.
    ForeignKind foreign = ForeignKind::None;
    FormatId foreignFormat = FormatId::TextLog;

    // The indented text output: the log's own encoding, mark and line ends, so that without
    // the inserted TABs it is the log byte for byte. A LINE export's converted text is UTF-8;
    // any other app's export's is UTF-8 with a mark and CR LF;
    // an XML history's text is code page 932 with CR LF, or UTF-8 with a mark and CR LF when
    // code page 932 would lose characters of it (textInUtf8).
    textcodec::Encoding textEncoding() const;
    bool textMark() const;
    QByteArray textLineEnd() const;
    // A line end of the log's own, as the indented text writes it.
    QByteArray textLineEnd(textcodec::LineEnd end) const;
    QByteArray textTab() const;

    // The classic text log: Shift-JIS split at CR LF, as the program always read it. A log
    // without any line end is not known to be one: at most one line, most often an empty file
    // or data, which the look at other kinds of file tells better than the header text would,
    // and whose reading is worth naming.
    bool classicLog() const
    {
        return known && !merged && format == FormatId::TextLog
            && detection.encoding == textcodec::Encoding::ShiftJis && detection.hasLineEnd
            && detection.lineEnd == textcodec::LineEnd::CrLf;
    }

    // A LINE export's messages (and any app's export's) are plain text as typed: a page escapes
    // them rather than reading them as chat markup.
    bool plainText() const { return (lineExport() || chatExport()) && !mergedMarkup; }

    // The HTML page: code page 932 for a Shift-JIS log and an XML history, as it always was;
    // UTF-8 for every other log.
    bool utf8Page() const;
};
