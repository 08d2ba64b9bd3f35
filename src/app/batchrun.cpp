#include "batchrun.h"

#include "batchhost.h"
#include "commandline.h"
#include "engine/appstate.h"
#include "engine/intake.h"
#include "engine/run.h"

#include <QCoreApplication>
#include <QTextStream>

int runBatch(const CommandLine &commandLine, const QString &programDir, QTextStream &err,
             bool errIsTerminal)
{
    AppState state;
    Settings &settings = state.settings;
    settings.iniPath = settingsPathFor(commandLine, programDir);
    BatchHost host(err, errIsTerminal, state.palette);
    // Never saved: the batch run leaves the file alone.
    const SettingsFileState file = loadSettings(settings, state.palette);
    if (file.unreadable) {
        // Converting with the defaults would write other names and kinds than the user chose.
        host.printLine(settings.iniPath,
                       QCoreApplication::translate(
                           "Batch", "Could not read the settings file (%1); no log is converted.")
                           .arg(BatchHost::reasonText(file.reason)));
        host.finish();
        return ExitUsage;
    }
    if (!commandLine.settingsFile.isEmpty() && file.missing)
        host.printLine(
            settings.iniPath,
            QCoreApplication::translate(
                "Batch",
                "The settings file does not exist; converting with the default settings."));
    if (commandLine.changeType)
        settings.changeType = qint16(*commandLine.changeType);
    if (!commandLine.pageStyle.isEmpty())
        settings.pageStyle = commandLine.pageStyle;
    if (commandLine.index)
        settings.makeIndex = 1;
    // Feedback goes to the progress line; the window-only parts of the run do nothing here.
    settings.speedUp = 0;
    settings.commandLineRun = false;

    int notWritten = 0;
    QStringList accepted;
    for (const QString &log : commandLine.logs) {
        if (isLogPath(log)) {
            accepted.append(log);
        } else {
            host.printLine(log,
                           QCoreApplication::translate(
                               "Batch", "A log's extension must be TXT, txt, XML or xml."));
            ++notWritten;
        }
    }
    Selection logs;
    addLogFiles(logs, accepted, settings.addStr);
    state.otherLogs = RunLogs(accepted); // no output may replace any log of the command line

    // One run per log, so that each log's outcome is known; the order is the selection's.
    // The page run spans them all: colours carried by name, one index per folder at the end.
    state.pageRun.begin();
    const int count = logs.selectedCount;
    for (int i = 0; i < count; ++i) {
        state.selection.clear();
        state.selection.items.append(logs.items[i]);
        state.selection.selectedCount = 1;
        state.colorDialogCloses = 0;
        host.startLog(i + 1, count, logs.items[i].path);
        mnuRun_Click(state, host);
        if (state.colorDialogCloses != 2)
            ++notWritten;
    }
    if (!finishPageRun(state, host))
        ++notWritten;
    host.finish();
    return notWritten == 0 ? ExitAllWritten : ExitSomeNotWritten;
}
