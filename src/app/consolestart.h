#pragma once

#include "batchstreams.h"

#include <QString>

class QTextStream;
struct CommandLine;

// Every start that prints instead of opening the window: a usage error, --help, --version,
// the batch run, and a window asked for where no display is available. Returns the exit
// status.
int runWithoutWindow(const CommandLine &commandLine, const QString &programDir, QTextStream &out,
                     QTextStream &err, bool errIsTerminal, StandardStreams streams = {});
