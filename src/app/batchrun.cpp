#include "batchrun.h"

#include "batchhost.h"
#include "batchstdin.h"
#include "commandline.h"
#include "engine/appstate.h"
#include "engine/convert/finishpagerun.h"
#include "engine/convert/run.h"
#include "engine/convert/runsteps.h"
#include "engine/folderintake.h"
#include "engine/intake.h"
#include "engine/read/chat/exportnames.h"
#include "engine/read/exportpaths.h"
#include "engine/read/formats/formats.h"
#include "fileio/atomicfile.h"
#include "fileio/filename.h"
#include "fileio/folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QTextStream>

namespace {

QString withoutTrailingSlashes(QString path)
{
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

QString cleanAbsolute(const QString &path)
{
    return QDir::cleanPath(fileio::absolutePath(path));
}

// The logs of the command line: its log files and the logs of its folders, each with the
// folder its output goes into (empty: beside the log).
class BatchLogs
{
public:
    BatchLogs(const CommandLine &commandLine, const QString &addStr, BatchHost &host)
        : m_outputDir(withoutTrailingSlashes(commandLine.outputDir))
    {
        // The output folder is not taken for a folder of logs, so a second run does not
        // convert the first one's outputs.
        const auto outputFolder
            = m_outputDir.isEmpty() ? std::nullopt : fileio::fileId(m_outputDir);
        for (const QString &log : commandLine.logs) {
            QList<exportpaths::Chat> chats;
            QString broken;
            if (exportpaths::mayHoldChats(log) && exportpaths::chatsOf(log, chats, &broken)) {
                // An export of many chats, or a ZIP or TAR of logs: each chat is a log.
                for (const exportpaths::Chat &chat : chats)
                    add(chat.path, m_outputDir);
                if (chats.isEmpty()) {
                    host.printLine(
                        log,
                        QCoreApplication::translate("Batch", "No chat and no log in this export."));
                    ++m_refused;
                }
            } else if (!broken.isEmpty()) {
                host.logNotRead(log, broken);
                ++m_refused;
            } else if (fileio::isFolder(log)) {
                addFolder(log, scanFolder(log, commandLine.recursive, addStr, outputFolder),
                          commandLine.recursive, host);
            } else if (isLogPath(log)) {
                add(log, m_outputDir);
            } else if (!fileio::exists(log)) {
                // A mistyped name, most likely: said as that, not as a wrong extension.
                host.printLine(log,
                               QCoreApplication::translate("Batch", "No such file or folder."));
                ++m_refused;
            } else {
                host.printLine(
                    log,
                    QCoreApplication::translate("Batch", "A log's extension must be one of %1.")
                        .arg(formats::extensionList()));
                ++m_refused;
            }
        }
    }

    const QStringList &paths() const { return m_paths; }
    // LOG arguments refused and folders that could not be read.
    int refused() const { return m_refused; }

    // The selection's stems moved into the output folders.
    void moveOutputs(Selection &selection, const QString &addStr) const
    {
        if (m_outputDir.isEmpty())
            return;
        QList<Selection::Item> items = selection.items();
        for (Selection::Item &item : items)
            item.stem = outputStem(item.path, addStr, outputFolder(item.path));
        selection.setItems(items);
    }

private:
    // Where a log's output goes: a chat of an export found in a folder goes where the export's
    // own outputs would.
    QString outputFolder(const QString &path) const
    {
        if (const auto it = m_outputFolders.constFind(path); it != m_outputFolders.constEnd())
            return *it;
        if (const auto chat = exportpaths::split(path))
            return m_outputFolders.value(chat->container, m_outputDir);
        return m_outputDir;
    }

    void add(const QString &path, const QString &outputFolder)
    {
        m_paths.append(path);
        if (!m_outputDir.isEmpty() && !m_outputFolders.contains(path))
            m_outputFolders.insert(path, outputFolder);
    }

    void addFolder(const QString &folder, const FolderScan &scan, bool recursive, BatchHost &host)
    {
        for (const FolderScan::Problem &problem : scan.unreadable) {
            host.logNotRead(problem.folder, problem.reason);
            ++m_refused;
        }
        if (scan.logs.isEmpty() && scan.unreadable.isEmpty()) {
            // A folder given for its logs that has none: most likely not the folder meant.
            host.printLine(folder,
                           recursive
                               ? QCoreApplication::translate(
                                   "Batch", "No log in this folder or its subfolders.")
                               : QCoreApplication::translate("Batch",
                                                             "No log in this folder (-r reads its "
                                                             "subfolders too)."));
            ++m_refused;
        }
        for (const FolderScan::Log &log : scan.logs)
            add(log.path,
                log.subfolder.isEmpty() ? m_outputDir : m_outputDir + u'/' + log.subfolder);
    }

    QString m_outputDir;
    QStringList m_paths;
    QHash<QString, QString> m_outputFolders;
    int m_refused = 0;
};

// Converts the selection one log per run, so that each log's outcome is known; the order is
// the selection's. With `makeOutputFolders` the folder of each output is made when missing.
// Returns the number of logs written; `count` gets the number of logs tried.
int convertEach(AppState &state, BatchHost &host, const Selection &logs, bool makeOutputFolders,
                int &count)
{
    int written = 0;
    count = logs.selectedCount();
    // Two logs with one output (chat.txt and chat.xml, or two folders into one output folder):
    // the later one would replace the earlier one's output, so it is refused.
    QHash<QString, QString> outputOwners; // cleaned stem -> log
    for (int i = 0; i < logs.selectedCount(); ++i) {
        const Selection::Item &item = logs.items()[i];
        const QString stem = cleanAbsolute(item.stem);
        if (const auto owner = outputOwners.constFind(stem); owner != outputOwners.cend()) {
            if (cleanAbsolute(*owner) == cleanAbsolute(item.path)) {
                --count; // the same log named twice
                continue;
            }
            host.printLine(item.path,
                           QCoreApplication::translate(
                               "Batch", "not converted: its output would replace that of %1.")
                               .arg(*owner));
            continue;
        }
        const QString folder = stem.left(stem.lastIndexOf(u'/'));
        QString reason;
        if (makeOutputFolders && !fileio::makeFolders(folder, &reason)) {
            host.outputNotWritten(item.path, folder, reason);
            continue;
        }
        state.selection.setItems({item});
        state.colorDialogCloses = 0;
        host.startLog(i + 1, logs.selectedCount(), item.path);
        mnuRun_Click(state, host);
        if (state.colorDialogCloses == 2) {
            ++written;
            outputOwners.insert(stem, item.path);
        }
    }
    return written;
}

// The logs of the command line as exports of one chat, or of the same chats: one output for
// the logs and one for each chat's name across the exports that hold it (engine's runOutputs).
int convertMerged(AppState &state, BatchHost &host, const Selection &logs, bool makeOutputFolders,
                  int &count)
{
    state.selection.setItems(logs.items());
    state.mergeLogs = true;
    const QList<RunOutput> outputs = runOutputs(state);
    count = int(outputs.size());
    for (const RunOutput &output : outputs) {
        const QString folder = output.stem.left(output.stem.lastIndexOf(u'/'));
        QString reason;
        if (makeOutputFolders && !fileio::makeFolders(folder, &reason)) {
            host.outputNotWritten(state.selection.path(output.log), folder, reason);
            state.mergeLogs = false;
            return 0;
        }
    }
    const int before = host.written();
    host.startLog(1, 1, state.selection.path(0));
    mnuRun_Click(state, host);
    state.mergeLogs = false;
    return host.written() - before;
}

} // namespace

int runBatch(const CommandLine &commandLine, const QString &programDir, QTextStream &err,
             bool errIsTerminal, StandardStreams streams)
{
    AppState state;
    Settings &settings = state.settings;
    settings.iniPath = settingsPathFor(commandLine, programDir);
    BatchHost host(err, errIsTerminal && !commandLine.quiet, state.palette);
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
    if (!commandLine.settingsFile.isEmpty() && file.missing && !commandLine.quiet)
        host.printLine(
            settings.iniPath,
            QCoreApplication::translate(
                "Batch",
                "The settings file does not exist; converting with the default settings."));
    if (file.refusedPrefix)
        host.printLine(settings.iniPath,
                       QCoreApplication::translate(
                           "Batch",
                           "The prefix \"%1\" in the settings file is refused; \"%2\" is "
                           "used.")
                           .arg(*file.refusedPrefix, settings.addStr));
    if (commandLine.changeType)
        settings.changeType = qint16(*commandLine.changeType);
    if (!commandLine.pageStyle.isEmpty())
        settings.pageStyle = commandLine.pageStyle;
    if (commandLine.index)
        settings.makeIndex = *commandLine.index ? 1 : 0;
    if (commandLine.encoding)
        settings.logEncoding = encodingWord(*commandLine.encoding);
    if (!commandLine.timeZone.isEmpty())
        settings.timeZone = commandLine.timeZone;
    if (commandLine.redact)
        settings.redact = 1;
    if (commandLine.provenance)
        settings.provenance = 1;
    if (!commandLine.namesFile.isEmpty()) {
        QString reason;
        if (!readExportNames(commandLine.namesFile, settings.exportNames, &reason)) {
            host.logNotRead(commandLine.namesFile, reason);
            host.finish();
            return ExitUsage;
        }
    }
    // Feedback goes to the progress line; the window-only parts of the run do nothing here.
    settings.speedUp = 0;
    settings.commandLineRun = false;

    int written = 0, count = 1;
    bool filesWritten = true; // the indexes and what pages need beside them
    if (commandLine.readsStandardInput()) {
        const PipeOutcome outcome = convertStandardInput(state, host, streams);
        if (outcome == PipeOutcome::ReaderGone) {
            // Whoever stopped reading wanted no more: no message, no last line.
            host.finish();
            return ExitOutputClosed;
        }
        written = outcome == PipeOutcome::Written ? 1 : 0;
    } else {
        QString reason;
        if (!commandLine.outputDir.isEmpty()
            && !fileio::makeFolders(commandLine.outputDir, &reason)) {
            host.printLine(
                commandLine.outputDir,
                QCoreApplication::translate("Batch",
                                            "Could not make the output folder (%1); no log is "
                                            "converted.")
                    .arg(BatchHost::reasonText(reason)));
            host.finish();
            return ExitUsage;
        }
        const BatchLogs batchLogs(commandLine, settings.addStr, host);
        Selection logs;
        addLogFiles(logs, batchLogs.paths(), settings.addStr);
        batchLogs.moveOutputs(logs, settings.addStr);
        // No output may replace any log of the command line or of its folders.
        state.otherLogs = RunLogs(batchLogs.paths());
        // The page run spans every log: colours carried by name, one index per folder at the end.
        state.pageRun.begin();
        if (commandLine.merge && logs.selectedCount() > 1) {
            written = convertMerged(state, host, logs, !commandLine.outputDir.isEmpty(), count);
        } else {
            written = convertEach(state, host, logs, !commandLine.outputDir.isEmpty(), count);
        }
        count += batchLogs.refused();
        filesWritten = finishPageRun(state, host);
    }
    host.finish();
    if (errIsTerminal && !commandLine.quiet)
        err << BatchHost::summaryText(written, count) << '\n';
    err.flush();
    return written == count && filesWritten ? ExitAllWritten : ExitSomeNotWritten;
}
