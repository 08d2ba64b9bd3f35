#include "consolestart.h"

#include "batchrun.h"
#include "commandline.h"
#include "verifyrun.h"

#include <QTextStream>

int runWithoutWindow(const CommandLine &commandLine, const QString &programDir, QTextStream &out,
                     QTextStream &err, bool errIsTerminal, StandardStreams streams)
{
    if (!commandLine.error.isEmpty()) {
        err << usageErrorText(commandLine.error);
        return ExitUsage;
    }
    if (commandLine.help || commandLine.version) {
        out << (commandLine.help ? helpText() : versionText());
        return ExitAllWritten;
    }
    if (!commandLine.verifyPage.isEmpty())
        return runVerify(commandLine, out);
    if (commandLine.batch)
        return runBatch(commandLine, programDir, err, errIsTerminal, streams);
    err << noDisplayText();
    return ExitUsage;
}
