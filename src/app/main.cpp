#include "app/commandline.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine cl = parseCommandLine(args);
    if (!cl.error.isEmpty()) {
        std::fprintf(stderr, "pelorin: %s\n%s", qPrintable(cl.error), qPrintable(helpText()));
        return 2;
    }
    if (cl.help) {
        std::fputs(helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (cl.version) {
        std::printf("%s\n", qPrintable(versionText()));
        return 0;
    }
    return 0;
}
