#include "app/batchrun.h"
#include "app/commandline.h"
#include "ui/main/guistart.h"
#include "ui/uiutil.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    // Past a file size limit a write then fails (and is reported) instead of killing the
    // program.
    std::signal(SIGXFSZ, SIG_IGN);
    const CommandLine cl = parseCommandLine(programArguments(argc, argv));
    if (!cl.error.isEmpty()) {
        QTextStream err(stderr);
        err << "pelorin: " << cl.error << "\nTry 'pelorin --help' for more information.\n";
        return ExitUsage;
    }
    if (cl.help || cl.version) {
        QTextStream out(stdout);
        out << (cl.help ? helpText() : versionText() + u'\n');
        return ExitAllWritten;
    }
    if (cl.batch) {
        // No window system at all: works without a display.
        QCoreApplication app(argc, argv);
        QTextStream err(stderr);
        return runBatch(cl, QCoreApplication::applicationDirPath(), err, isatty(STDERR_FILENO));
    }
    QApplication app(argc, argv);
    ui::installFontSubstitutions();
    return runGui(app, settingsPathFor(cl, QCoreApplication::applicationDirPath()), cl.logs);
}
