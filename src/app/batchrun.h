#pragma once

#include <QString>

class QTextStream;
struct CommandLine;

// The headless conversion of `pelorin --batch`: converts every LOG of the command line with
// the settings file's options (read, never written), without any window. What the window
// would say in a message box goes to `err` as "LOG: message"; when `errIsTerminal`, one line
// shows the progress. Returns ExitAllWritten when every log was written, otherwise
// ExitSomeNotWritten; ExitUsage, with nothing converted, when the settings file exists but
// cannot be read.
int runBatch(const CommandLine &commandLine, const QString &programDir, QTextStream &err,
             bool errIsTerminal);
