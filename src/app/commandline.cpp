#include "commandline.h"

#include "fileio/filename.h"
#include "pelorin/version.h"
#include "settings/settingslocation.h"

#include <QCoreApplication>

QStringList programArguments(int argc, const char *const *argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(fileio::decodeName(argv[i]));
    return arguments;
}

namespace {

// Whether arguments[i] is the option `longName` (or `shortName`) that takes a value: "--name
// VALUE", "--name=VALUE" or "-n VALUE". The value goes to `value` (empty when missing); i moves
// past it.
bool optionWithValue(const QStringList &arguments, qsizetype &i, QStringView longName,
                     QStringView shortName, QString &value)
{
    const QString &a = arguments[i];
    if (a.startsWith(longName) && a.size() > longName.size() && a[longName.size()] == u'=') {
        value = a.sliced(longName.size() + 1);
        return true;
    }
    if (a != longName && (shortName.isEmpty() || a != shortName))
        return false;
    value.clear();
    if (i + 1 < arguments.size() && !arguments[i + 1].isEmpty())
        value = arguments[++i];
    return true;
}

QString needsBatch(const char *option)
{
    return QCoreApplication::translate("CommandLine", "%1 needs --batch")
        .arg(QLatin1String(option));
}

// The words of --encoding, lower case.
std::optional<textcodec::Choice> encodingArgument(const QString &word)
{
    using textcodec::Choice;
    const QString w = word.toLower();
    if (w == u"auto")
        return Choice::Auto;
    if (w == u"sjis" || w == u"shift-jis" || w == u"cp932")
        return Choice::ShiftJis;
    if (w == u"utf-8" || w == u"utf8")
        return Choice::Utf8;
    if (w == u"utf-16" || w == u"utf16")
        return Choice::Utf16;
    return std::nullopt;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine cl;
    bool text = false, html = false, optionsEnded = false;
    auto usage = [&cl](const QString &message) {
        if (cl.error.isEmpty())
            cl.error = message;
    };
    QString encodingWord;
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
        } else if (optionWithValue(arguments, i, u"--page", {}, cl.pageStyle)) {
            if (cl.pageStyle != u"classic" && cl.pageStyle != u"modern") {
                cl.pageStyle.clear();
                usage(QCoreApplication::translate("CommandLine", "--page needs classic or modern"));
            }
        } else if (a == u"--index") {
            cl.index = true;
        } else if (optionWithValue(arguments, i, u"--settings", {}, cl.settingsFile)) {
            if (cl.settingsFile.isEmpty())
                usage(QCoreApplication::translate("CommandLine", "--settings needs a FILE"));
        } else if (optionWithValue(arguments, i, u"--encoding", {}, encodingWord)) {
            cl.encoding = encodingArgument(encodingWord);
            if (!cl.encoding)
                usage(QCoreApplication::translate(
                          "CommandLine", "--encoding takes auto, sjis, utf-8 or utf-16, not \"%1\"")
                          .arg(encodingWord));
        } else if (optionWithValue(arguments, i, u"--output-dir", u"-o", cl.outputDir)) {
            if (cl.outputDir.isEmpty())
                usage(QCoreApplication::translate("CommandLine", "--output-dir needs a DIR"));
        } else if (a == u"--recursive" || a == u"-r") {
            cl.recursive = true;
        } else if (a == u"--quiet" || a == u"-q") {
            cl.quiet = true;
        } else {
            usage(QCoreApplication::translate("CommandLine", "unknown option: %1").arg(a));
        }
    }
    if (text && html)
        usage(QCoreApplication::translate("CommandLine", "--text and --html exclude each other"));
    else if (text)
        cl.changeType = 0;
    else if (html)
        cl.changeType = 1;
    if (cl.help || cl.version)
        return cl;
    if (cl.changeType && !cl.batch)
        usage(QCoreApplication::translate("CommandLine", "--text and --html need --batch"));
    if (!cl.batch) {
        if (!cl.outputDir.isEmpty())
            usage(needsBatch("--output-dir"));
        if (cl.recursive)
            usage(needsBatch("--recursive"));
        if (cl.quiet)
            usage(needsBatch("--quiet"));
        if (!cl.pageStyle.isEmpty())
            usage(needsBatch("--page"));
        if (cl.index)
            usage(needsBatch("--index"));
        if (cl.encoding)
            usage(needsBatch("--encoding"));
    }
    if (cl.batch && cl.logs.isEmpty())
        usage(QCoreApplication::translate("CommandLine", "--batch needs at least one LOG"));
    if (cl.logs.contains(u"-") && cl.batch) {
        // The output kind is named, as the output goes where no name shows it.
        if (cl.logs.size() > 1)
            usage(QCoreApplication::translate("CommandLine",
                                              "standard input (\"-\") must be the only LOG"));
        else if (!cl.changeType)
            usage(QCoreApplication::translate(
                "CommandLine", "reading standard input (\"-\") needs --text or --html"));
        else if (!cl.outputDir.isEmpty())
            usage(QCoreApplication::translate(
                "CommandLine", "--output-dir does not go with standard input (\"-\")"));
    }
    return cl;
}

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("CommandLine", text);
}

// One option of --help: its names, and its description, whose further lines are indented
// under the first.
struct HelpOption
{
    const char *names;
    const char *text;
};

const HelpOption HelpOptions[] = {
    {"--batch",
     QT_TRANSLATE_NOOP("CommandLine",
                       "convert the LOGs without any window; needs no display.\n"
                       "The settings file is read, never written. What the window would\n"
                       "say in a message box is printed to standard error as\n"
                       "\"LOG: message\". A log without speakers is skipped, and a LOG\n"
                       "whose extension is not TXT, txt, XML or xml is refused. When\n"
                       "standard error is a terminal, the progress is shown on one line,\n"
                       "and a last line tells how many logs were written.\n"
                       "In an HTML conversion every speaker keeps the colour the palette\n"
                       "and the message rules give it.")},
    {"--text",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: write indented text, whatever the settings say")},
    {"--html",
     QT_TRANSLATE_NOOP("CommandLine", "with --batch: write HTML pages, whatever the settings say")},
    {"--encoding WORD",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: read text logs as WORD, whatever the settings say:\n"
                       "auto (detected per log), sjis, utf-8 or utf-16")},
    {"--page STYLE",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: the HTML page's style, classic (the default) or\n"
                       "modern (for today's browsers and phones: UTF-8, a light and a dark\n"
                       "theme, search and speaker filters). In the modern style a speaker\n"
                       "met again in a later log keeps the colour it had in the earlier one")},
    {"--index",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: after the run, every folder that received pages gets\n"
                       "an index page (the prefix and \"index.htm\") listing them; a later\n"
                       "run keeps the entries of pages that are still there")},
    {"--settings FILE",
     QT_TRANSLATE_NOOP("CommandLine", "use FILE as the settings file (see \"Settings file\")")},
    {"-o, --output-dir DIR",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: write the outputs into DIR (made if missing) under\n"
                       "their usual names; the logs of a FOLDER's subfolders go into the\n"
                       "same subfolders of DIR")},
    {"-r, --recursive",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: convert the logs in every folder below a FOLDER too")},
    {"-q, --quiet", QT_TRANSLATE_NOOP("CommandLine", "with --batch: print only errors")},
    {"--help, -h", QT_TRANSLATE_NOOP("CommandLine", "show this text and exit")},
    {"--version", QT_TRANSLATE_NOOP("CommandLine", "show the version and exit")},
    {"--", QT_TRANSLATE_NOOP("CommandLine", "what follows is a LOG even if it starts with \"-\"")},
};

constexpr qsizetype HelpNameWidth = 15;

// The logs understood, each with a sample of two lines (the samples are the same in every
// language: they show the logs as they are).
QString logKindsText()
{
    const QString indent = QStringLiteral("    ");
    return translated(QT_TRANSLATE_NOOP("CommandLine", "Logs it reads:")) + u'\n'
        + translated(QT_TRANSLATE_NOOP(
            "CommandLine",
            "  Text logs (*.txt) in Shift-JIS, UTF-8 or UTF-16, with any line ends: each\n"
            "  utterance starts with a header line, the speaker's name and the header text\n"
            "  of the settings (by default \"の発言：\"):"))
        + u'\n' + indent + QStringLiteral("たろう の発言：\n") + indent
        + QStringLiteral("こんばんは！\n")
        + translated(QT_TRANSLATE_NOOP(
            "CommandLine", "  The XML histories of MSN Messenger / Windows Messenger (*.xml):"))
        + u'\n' + indent + QStringLiteral("<Message><From><User FriendlyName=\"たろう\"/></From>\n")
        + indent + QStringLiteral("<Text>こんばんは！</Text></Message>\n")
        + translated(QT_TRANSLATE_NOOP(
            "CommandLine",
            "  LINE talk-history exports (*.txt starting with \"[LINE] \"): time, TAB,\n"
            "  sender, TAB, text; the indented text of an export is written in UTF-8:"))
        + u'\n' + indent + QStringLiteral("2024/01/15(月)\n") + indent
        + QStringLiteral("21:03\tたろう\tこんばんは！\n");
}

} // namespace

QString helpText()
{
    QString help = translated(QT_TRANSLATE_NOOP("CommandLine", "Usage:"))
        + QStringLiteral("\n  pelorin [--settings FILE] [LOG...]\n"
                         "  pelorin --batch [OPTION...] [--text | --html] LOG|FOLDER...\n"
                         "  pelorin --batch [OPTION...] (--text | --html) -\n\n")
        + translated(QT_TRANSLATE_NOOP(
            "CommandLine",
            "Pelorin turns chat logs (text logs *.txt, LINE talk-history exports, or the\n"
            "messenger's *.xml histories) into an indented text file or a coloured HTML page,\n"
            "written next to each log under its name with the configured prefix (by default\n"
            "\"_\"): chat.txt gives _chat.txt or _chat.htm.\n"
            "\n"
            "Without --batch the window opens. LOG arguments start a conversion with the\n"
            "saved settings that ends the program without showing the window."))
        + QStringLiteral("\n\n") + logKindsText() + u'\n'
        + translated(QT_TRANSLATE_NOOP("CommandLine", "Options:")) + u'\n';
    const QString indent(2 + HelpNameWidth + 2, u' ');
    for (const HelpOption &option : HelpOptions) {
        const QStringList lines = translated(option.text).split(u'\n');
        const QString names = QString::fromLatin1(option.names);
        // Names too long for their column have the description start on the next line.
        const QString column = names.size() > HelpNameWidth
            ? QString(names + u'\n' + indent)
            : QString(names.leftJustified(HelpNameWidth) + QStringLiteral("  "));
        help += QStringLiteral("  ") + column + lines.first() + u'\n';
        for (qsizetype i = 1; i < lines.size(); ++i)
            help += indent + lines[i] + u'\n';
    }
    return help + u'\n'
        + translated(QT_TRANSLATE_NOOP(
            "CommandLine",
            "Folders and standard input, with --batch:\n"
            "  A FOLDER given as LOG converts the logs directly in it, with -r also those in\n"
            "  every folder below it; links to folders inside it are not followed, and names\n"
            "  starting with \".\" are left out. A file named like the output of a log beside\n"
            "  it (the prefix and the log's name: chat.txt gives _chat.txt) is left out as\n"
            "  well, so converting a folder again converts only its logs.\n"
            "  \"-\" as the only LOG reads the log from standard input (an XML history when it\n"
            "  starts with \"<?xml\") and writes its output to standard output, where nothing\n"
            "  else goes; it needs --text or --html. Messages name it \"standard input\"."))
        + QStringLiteral("\n\n")
        + translated(QT_TRANSLATE_NOOP(
            "CommandLine",
            "Settings file:\n"
            "  Without --settings, \"基本設定よ.ini\" beside the program is used when it already\n"
            "  exists there (a portable copy). Otherwise the one in your configuration folder,\n"
            "  $XDG_CONFIG_HOME/pelorin/ (by default ~/.config/pelorin/), created on the first\n"
            "  save."))
        + QStringLiteral("\n\n")
        + translated(QT_TRANSLATE_NOOP(
            "CommandLine",
            "Exit status:\n"
            "  0  every log was written (and for the window: it closed normally)\n"
            "  1  --batch: at least one log (or index page) was not written\n"
            "  2  usage error: an unknown option, an option without its value or without\n"
            "     --batch, an unknown --encoding WORD, both --text and --html, --page\n"
            "     other than classic or modern, --batch without a LOG, or \"-\" with\n"
            "     another LOG, without --text or --html, or with --output-dir;\n"
            "     --batch: the settings file exists but cannot be read, or the output folder\n"
            "     cannot be made (nothing is converted);\n"
            "     the window was asked for but no display is available"))
        + u'\n';
}

QString versionText()
{
    return QStringLiteral("Pelorin " PELORIN_VERSION "\n")
        + translated(QT_TRANSLATE_NOOP("CommandLine",
                                       "Copyright (c) the Pelorin authors.\n"
                                       "MIT License: free to use, change and pass on, "
                                       "without warranty."))
        + u'\n';
}

QString usageErrorText(const QString &error)
{
    return QStringLiteral("pelorin: ") + error + u'\n'
        + translated(QT_TRANSLATE_NOOP("CommandLine", "Try 'pelorin --help' for more information."))
        + u'\n';
}

QString noDisplayText()
{
    return QStringLiteral("pelorin: ")
        + translated(QT_TRANSLATE_NOOP(
            "CommandLine", "no display is available; --batch converts logs without one."))
        + u'\n';
}
QString settingsPathFor(const CommandLine &commandLine, const QString &programDir)
{
    return locateSettingsFile(commandLine.settingsFile, programDir);
}
