#include "commandline.h"

#include "fileio/filename.h"
#include "settings/settingslocation.h"

QStringList programArguments(int argc, const char *const *argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(fileio::decodeName(argv[i]));
    return arguments;
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine cl;
    bool text = false, html = false, optionsEnded = false;
    auto usage = [&cl](const QString &message) {
        if (cl.error.isEmpty())
            cl.error = message;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (optionsEnded || !a.startsWith(u'-') || a == u"-") {
            cl.logs.append(a);
        } else if (a == u"--") {
            optionsEnded = true;
        } else if (a == u"--help" || a == u"-h") {
            cl.help = true;
        } else if (a == u"--version") {
            cl.version = true;
        } else if (a == u"--batch") {
            cl.batch = true;
        } else if (a == u"--text") {
            text = true;
        } else if (a == u"--html") {
            html = true;
        } else if (a == u"--settings") {
            if (i + 1 < arguments.size() && !arguments[i + 1].isEmpty())
                cl.settingsFile = arguments[++i];
            else
                usage(QStringLiteral("--settings needs a FILE"));
        } else if (a.startsWith(u"--settings=")) {
            cl.settingsFile = a.sliced(11);
            if (cl.settingsFile.isEmpty())
                usage(QStringLiteral("--settings needs a FILE"));
        } else {
            usage(QStringLiteral("unknown option: ") + a);
        }
    }
    if (text && html)
        usage(QStringLiteral("--text and --html exclude each other"));
    else if (text)
        cl.changeType = 0;
    else if (html)
        cl.changeType = 1;
    if (cl.help || cl.version)
        return cl;
    if (cl.changeType && !cl.batch)
        usage(QStringLiteral("--text and --html need --batch"));
    if (cl.batch && cl.logs.isEmpty())
        usage(QStringLiteral("--batch needs at least one LOG"));
    return cl;
}

QString helpText()
{
    return QStringLiteral(
        "Usage: pelorin [--settings FILE] [LOG...]\n"
        "       pelorin --batch [--settings FILE] [--text | --html] LOG...\n"
        "\n"
        "Pelorin turns Shift-JIS chat logs (*.txt, or the messenger's *.xml histories) into an\n"
        "indented text file or a coloured HTML page, written next to each log under its name\n"
        "with the configured prefix (by default \"_\"): chat.txt gives _chat.txt or _chat.htm.\n"
        "\n"
        "Without --batch the window opens. LOG arguments start a conversion with the saved\n"
        "settings that ends the program without showing the window.\n"
        "\n"
        "Options:\n"
        "  --batch          convert the LOGs without any window; needs no display.\n"
        "                   The settings file is read, never written. What the window would\n"
        "                   say in a message box is printed to standard error as\n"
        "                   \"LOG: message\". A log without speakers is skipped, and a LOG\n"
        "                   whose extension is not TXT, txt, XML or xml is refused. When\n"
        "                   standard error is a terminal, the progress is shown on one line.\n"
        "                   In an HTML conversion every speaker keeps the colour the palette\n"
        "                   and the message rules give it.\n"
        "  --text           with --batch: write indented text, whatever the settings say\n"
        "  --html           with --batch: write HTML pages, whatever the settings say\n"
        "  --settings FILE  use FILE as the settings file. Otherwise \"基本設定よ.ini\" in\n"
        "                   the program's folder when it exists there or that folder is\n"
        "                   writable, else the one in your configuration folder.\n"
        "  --help, -h       show this text and exit\n"
        "  --version        show the version and exit\n"
        "  --               what follows is a LOG even if it starts with \"-\"\n"
        "\n"
        "Exit status:\n"
        "  0  every log was written (and for the window: it closed normally)\n"
        "  1  --batch: at least one log was not written\n"
        "  2  usage error: an unknown option, --settings without FILE, both --text and\n"
        "     --html, --text or --html without --batch, or --batch without a LOG;\n"
        "     --batch: the settings file exists but cannot be read (nothing is converted)\n");
}

QString versionText()
{
    return QStringLiteral("Pelorin " PELORIN_VERSION);
}

QString settingsPathFor(const CommandLine &commandLine, const QString &programDir)
{
    return locateSettingsFile(commandLine.settingsFile, programDir);
}
