#pragma once

#include "engine/read/logreader.h"

#include <QString>

struct AppState;
class RedactedNames;

// A run that redacts its outputs (Settings::redact): every log is read once more, first, to
// learn the names it holds, so that a name is replaced wherever it occurs, even before its
// speaker first speaks.

// Gives every name the log holds that the run does not know yet its stand-in
// (PageRun::names): the speakers in the order they first speak, then whom replies answer,
// who reacted, to whom messages were sent, and whom the chat lists or its events name. A log that
// cannot be read teaches nothing; the pass that follows reports it.
void learnNames(AppState &state, const QString &path);

// `path` with its file name redacted: an export's chat name or a LINE export's partner names
// the file.
QString redactedPath(const QString &path, const RedactedNames &names);

// The recipients of messages redacted as the reader notes them; set before it is opened.
void redactRecipients(LogReader &reader, const RedactedNames &names);
// Every line redacted, its header text kept, before `then` (the page's own filter, if any).
LogReader::Transform redactedLines(const RedactedNames &names, const QString &headerText,
                                   LogReader::Transform then = {});
