#pragma once

#include "codec/detect.h"
#include "codec/textcodec.h"
#include "engine/read/linerole.h"

#include <QFile>
#include <QString>
#include <functional>
#include <optional>

class LineStamps;
struct LogFormat;

// What the reader knows of one line besides its text.
struct LineInfo
{
    // What the log's structure says the line is (LineRole::Unknown for a text log).
    LineRole role = LineRole::Unknown;
    // How the line ends in the file, where lines may end in different ways (a LINE export);
    // empty where the log's one line end (LogFormat) holds.
    std::optional<textcodec::LineEnd> end;
};

// What a format's reader reads: the log file, opened (and for a format read as text, its
// encoding and line ends detected), and where it notes what it learns. The log reader that
// makes a format reader outlives it.
struct ReadSource
{
    QFile &file;
    const textcodec::Detection &detection;
    const QString &headerText; // the header text in force
    LineStamps &stamps; // when the utterances were said, where the format tells
    const bool &stampsWanted; // whether stamps noted while reading are wanted
    std::function<void()> pieceDone; // after every piece read outside next()
};

// The lines of one log in one format, pass after pass (LogReader asks the format for it).
class FormatReader
{
public:
    virtual ~FormatReader() = default;

    // Reads what must be read before the first line; false when the log does not load.
    virtual bool load() { return true; }
    // Notes in the log's format what only reading it tells.
    virtual void note(LogFormat &) const { }
    // Back to the first line; false when reading failed.
    virtual bool restart() = 0;
    // The next line and what is known of it; false at the end or when reading failed.
    virtual bool next(QString &line, LineInfo &info) = 0;
    // Progress is measured in the file's own lines: how many it has, counted without disturbing
    // the reading, and how many have been read in this pass.
    virtual qsizetype lineCount() = 0;
    virtual qsizetype linesConsumed() const = 0;
    // The chat's name where the log tells it; empty otherwise.
    virtual QString chatName() const { return {}; }

    virtual bool failed() const = 0;
    virtual QString errorString() const = 0;
};
