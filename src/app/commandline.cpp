#include "commandline.h"

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine cl;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == u"--help" || a == u"-h")
            cl.help = true;
        else if (a == u"--version")
            cl.version = true;
        else if (a == u"--settings" && i + 1 < arguments.size())
            cl.settingsFile = arguments[++i];
        else if (a.startsWith(u"--"))
            cl.error = QStringLiteral("unknown option: ") + a;
        else
            cl.logs.append(a);
    }
    return cl;
}

QString helpText()
{
    return QStringLiteral("Usage: pelorin [--settings FILE] [LOG...]\n");
}

QString versionText()
{
    return QStringLiteral("Pelorin " PELORIN_VERSION);
}
