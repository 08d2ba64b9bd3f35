#include "app/batchrun.h"
#include "app/commandline.h"
#include "ui/main/guistart.h"
#include "ui/uiutil.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine cl = parseCommandLine(args);
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
