#pragma once

#include "engine/read/formats/chatformat.h"

#include <QStringView>

// What a log that gave no speakers looks like, from its first lines: the kinds of file a user may
// pick by mistake or expect the program to read, so that the message says what was found rather
// than to adjust the header text, which could not help.
enum class ForeignKind {
    None, // nothing known: perhaps a log whose header text is another
    Empty, // no text at all
    NotText, // bytes that are no text (a picture, an archive)
    WithoutMessages, // read in its format, which says it holds no message (a LINE export)
    LooksLike, // a format the program does not read, or reads in other forms (formats.h)
};

// What the first lines of a log (decoded, up to a few kilobytes) look like; for LooksLike, the
// format in `lookalike`.
ForeignKind foreignKind(QStringView head, FormatId *lookalike = nullptr);
