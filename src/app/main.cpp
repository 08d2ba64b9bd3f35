#include "app/batchstreams.h"
#include "app/commandline.h"
#include "app/consolestart.h"
#include "app/language.h"
#include "settings/settingslocation.h"
#include "ui/main/guistart.h"
#include "ui/uiutil.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    const StandardStreams streams = holdStandardStreams();
    // Past a file size limit a write then fails (and is reported) instead of killing the
    // program.
    std::signal(SIGXFSZ, SIG_IGN);
    // Likewise a standard output whose reader went away: the batch run cleans up first.
    std::signal(SIGPIPE, SIG_IGN);
    const QStringList args = programArguments(argc, argv);
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (parseCommandLine(args).opensWindow() && displayAvailable(env)) {
        QApplication app(argc, argv);
        ui::installFontSubstitutions();
        const CommandLine cl = parseCommandLine(args);
        return runGui(app, settingsPathFor(cl, QCoreApplication::applicationDirPath()), cl.logs);
    }
    // No window system at all: works without a display.
    QCoreApplication app(argc, argv);
    const QString programDir = QCoreApplication::applicationDirPath();
    const Translations translations(app, messageLanguage(env), dataDirFor(programDir));
    // Parsed again now that the translations are in, so a usage error is in the user's language.
    const CommandLine cl = parseCommandLine(args);
    QTextStream out(stdout), err(stderr);
    const int status = runWithoutWindow(cl, programDir, out, err, isatty(STDERR_FILENO), streams);
    if (status == ExitOutputClosed) {
        // Ended as a filter whose reader went away ends, by the signal, now that the run has
        // removed its temporary files: shells expect that of a pipeline cut short.
        std::signal(SIGPIPE, SIG_DFL);
        std::raise(SIGPIPE);
    }
    return status;
}
