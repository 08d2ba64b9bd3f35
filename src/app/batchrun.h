#pragma once

#include "batchstreams.h"

#include <QString>

class QTextStream;
struct CommandLine;

// The headless conversion of `pelorin --batch`: converts every LOG of the command line with
// the settings file's options (read, never written), without any window. A folder stands for
// the logs in it, "-" for a log on standard input whose output goes to standard output. What
// the window would say in a message box goes to `err` as "LOG: message"; when `errIsTerminal`
// (and not --quiet), one line shows the progress and a last one how many logs were written.
// Returns ExitAllWritten when every log was written, otherwise ExitSomeNotWritten; ExitUsage,
// with nothing converted, when the settings file exists but cannot be read or the output
// folder cannot be made.
int runBatch(const CommandLine &commandLine, const QString &programDir, QTextStream &err,
             bool errIsTerminal, StandardStreams streams = {});
