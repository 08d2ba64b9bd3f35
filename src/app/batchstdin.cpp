#include "batchstdin.h"

#include "batchhost.h"
#include "batchtempdir.h"
#include "engine/appstate.h"
#include "engine/convert/run.h"
#include "engine/read/formats/formats.h"
#include "engine/selection.h"
#include "fileio/filename.h"
#include "fileio/inputfile.h"
#include "fileio/stream.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qsizetype SniffBytes = 64;

QString standardInput()
{
    return QCoreApplication::translate("Batch", "standard input");
}

QString standardOutput()
{
    return QCoreApplication::translate("Batch", "standard output");
}

// Standard input, whole, into `path`; its first bytes decide the name's extension.
bool copyInput(int in, const QString &folder, QString &path, QString &reason)
{
    QByteArray head;
    if (!fileio::readUpTo(in, head, SniffBytes, &reason))
        return false;
    // The page's title is the log's name: "stdin".
    path = folder + QStringLiteral("/stdin.") + formats::extensionForBytes(head);
    const int fd = ::open(fileio::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    bool ok = fileio::writeAll(fd, head, &reason)
        && fileio::copyAll(in, fd, &reason) == fileio::Copy::Ok;
    if (::close(fd) != 0 && ok) {
        reason = QString::fromLocal8Bit(std::strerror(errno));
        ok = false;
    }
    return ok;
}

} // namespace

PipeOutcome convertStandardInput(AppState &state, BatchHost &host, StandardStreams streams)
{
    // Closed streams are said as such, not by what reading or writing /dev/null gives.
    if (streams.inClosed || streams.outClosed) {
        host.printLine(QString(),
                       streams.inClosed
                           ? QCoreApplication::translate("Batch", "Standard input is closed.")
                           : QCoreApplication::translate("Batch", "Standard output is closed."));
        return PipeOutcome::NotWritten;
    }
    const BatchTempDir temporary;
    QString log, reason;
    if (!temporary.isValid() || !copyInput(streams.in, temporary.path(), log, reason)) {
        // A full temporary folder, not standard input, is the usual reason.
        host.printLine(standardInput(),
                       QCoreApplication::translate("Batch",
                                                   "could not be copied into the temporary "
                                                   "folder %1 (%2).")
                           .arg(QDir::tempPath(),
                                BatchHost::reasonText(
                                    temporary.isValid() ? reason : temporary.errorString())));
        return PipeOutcome::NotWritten;
    }
    // A fixed stem in the temporary folder: no prefix can make it the log's own name.
    const QString stem = temporary.path() + QStringLiteral("/out.");
    const QString output = stem + outputExtension(state.settings.changeType);
    host.showAs(log, standardInput());
    // The output is written into the temporary folder first: a failure there is told as such.
    host.showAs(output,
                QCoreApplication::translate("Batch", "its copy in the temporary folder %1")
                    .arg(QDir::tempPath()));
    state.selection.setItems({{log, stem}});
    state.otherLogs = RunLogs({log});
    state.colorDialogCloses = 0;
    state.settings.makeIndex = 0; // the page goes to standard output: no folder gets an index
    host.startLog(1, 1, log);
    mnuRun_Click(state, host);
    if (state.colorDialogCloses != 2)
        return PipeOutcome::NotWritten;

    QFile file;
    if (fileio::openForReading(output, file, &reason) != fileio::ReadOpen::Ok) {
        host.logNotRead(output, reason);
        return PipeOutcome::NotWritten;
    }
    switch (fileio::copyAll(int(file.handle()), streams.out, &reason)) {
    case fileio::Copy::Ok:
        return PipeOutcome::Written;
    case fileio::Copy::ReaderGone:
        return PipeOutcome::ReaderGone;
    case fileio::Copy::ReadFailed:
        host.logNotRead(output, reason);
        return PipeOutcome::NotWritten;
    case fileio::Copy::WriteFailed:
        host.printLine(standardOutput(),
                       QCoreApplication::translate("Batch", "could not be written (%1).")
                           .arg(BatchHost::reasonText(reason)));
        return PipeOutcome::NotWritten;
    }
    return PipeOutcome::NotWritten;
}
