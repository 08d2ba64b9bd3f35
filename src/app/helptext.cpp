#include "commandline.h"
#include "pelorin/version.h"
#include "settings/pagestyles.h"

#include <QCoreApplication>

// The texts of --help, --version and the usage errors. Each line, translated too, fits in 80
// columns (a Japanese character takes two): an option's description in the 61 columns right
// of the option names, the other paragraphs in 80.

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("CommandLine", text);
}

// One line a page style, under --page: its word and what it is.
QStringList pageStyleLines()
{
    qsizetype width = 0;
    for (const PageStyleName &name : PageStyles)
        width = qMax(width, qsizetype(qstrlen(name.word)));
    QStringList lines;
    for (const PageStyleName &name : PageStyles) {
        const QStringList help = translated(name.help).split(u'\n');
        lines.append(QStringLiteral("  ") + QString::fromLatin1(name.word).leftJustified(width)
                     + QStringLiteral("  ") + help.first());
        for (qsizetype i = 1; i < help.size(); ++i)
            lines.append(QString(2 + width + 2, u' ') + help[i]);
    }
    return lines;
}

// One option of --help: its names, and its description, whose further lines are indented
// under the first; `more` adds lines of its own after them.
struct HelpOption
{
    const char *names;
    const char *text;
    QStringList (*more)() = nullptr;
};

const HelpOption HelpOptions[] = {
    {"--batch",
     QT_TRANSLATE_NOOP("CommandLine",
                       "convert the LOGs without any window; needs no display. The\n"
                       "settings file is read, never written. What the window would\n"
                       "say in a message box is printed to standard error as\n"
                       "\"LOG: message\". A log without speakers is skipped, and a\n"
                       "LOG that is no log or export listed below is refused.\n"
                       "When standard error is a terminal, the progress is shown on\n"
                       "one line, and a last line tells how many logs were written.\n"
                       "In an HTML conversion every speaker keeps the colour the\n"
                       "palette and the message rules give it.")},
    {"--text",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: write indented text, whatever the settings say")},
    {"--html",
     QT_TRANSLATE_NOOP("CommandLine", "with --batch: write HTML pages, whatever the settings say")},
    {"--encoding WORD",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: read text logs as WORD, whatever the settings\n"
                       "say: auto (detected per log), sjis, utf-8 or utf-16")},
    {"--page STYLE",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: write pages in STYLE, whatever the settings\n"
                       "say; STYLE is one of:"),
     pageStyleLines},
    {"--index",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: make index pages, whatever the settings say:\n"
                       "after the run, every folder that received pages gets one\n"
                       "(the prefix and \"index.htm\") listing them; a later run\n"
                       "keeps the entries of pages that are still there")},
    {"--no-index",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: make no index page, whatever the settings say")},
    {"--settings FILE",
     QT_TRANSLATE_NOOP("CommandLine", "use FILE as the settings file (see \"Settings file\")")},
    {"-o, --output-dir DIR",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: write the outputs into DIR (made if missing)\n"
                       "under their usual names; the logs of a FOLDER's subfolders\n"
                       "go into the same subfolders of DIR")},
    {"-r, --recursive",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: convert the logs in every folder below a\n"
                       "FOLDER too")},
    {"--timezone ZONE",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: show the times that chat exports give in UTC\n"
                       "in ZONE (such as Asia/Tokyo), not in the zone of the settings\n"
                       "(the system's unless the window's 時刻帯 menu chose one)")},
    {"--names FILE",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: names for the people an export gives only as\n"
                       "ids: one \"id TAB name\" a line, in UTF-8 (\"#\" starts a\n"
                       "comment)")},
    {"--redact",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: make every output safe to share, whatever the\n"
                       "settings say: each speaker becomes 人物A, 人物B, … (a name\n"
                       "keeps its letter through the run and its index pages), and\n"
                       "phone numbers, e-mail addresses, postal codes, street\n"
                       "addresses and URL query strings are masked, in the pages,\n"
                       "texts, search data and file names; a redacted page says so\n"
                       "at its top")},
    {"--merge",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: the LOGs are exports of one chat (any format,\n"
                       "saved at different times): write them as one output named\n"
                       "after the first with \"_merged\", in time order, a message\n"
                       "that several of them hold once, and a notice where none of\n"
                       "them covers some days")},
    {"--provenance",
     QT_TRANSLATE_NOOP("CommandLine",
                       "with --batch: end classic pages and indented texts too with\n"
                       "where they came from: each source's name, size and SHA-256,\n"
                       "the program, the time zone shown and when it was converted\n"
                       "(modern pages always end so, and their messages' links name\n"
                       "their line or record id in the source)")},
    {"--verify PAGE",
     QT_TRANSLATE_NOOP("CommandLine",
                       "check whether the files PAGE names at its end are still the\n"
                       "ones it was made of: each is hashed again, where the page\n"
                       "says (from its folder), or at the LOGs given after PAGE, in\n"
                       "the page's order; prints same, changed or missing for each")},
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
            "CommandLine",
            "  The XML histories of MSN Messenger / Windows Messenger (*.xml); their indented\n"
            "  text is Shift-JIS, or UTF-8 with a byte order mark when Shift-JIS lacks one\n"
            "  of their characters:"))
        + u'\n' + indent + QStringLiteral("<Message><From><User FriendlyName=\"たろう\"/></From>\n")
        + indent + QStringLiteral("<Text>こんばんは！</Text></Message>\n")
        + translated(QT_TRANSLATE_NOOP(
            "CommandLine",
            "  LINE talk-history exports (*.txt) from a phone or the desktop app, in any\n"
            "  display language, with or without their title line: time, TAB, sender, TAB,\n"
            "  text; the indented text of an export is written in UTF-8:"))
        + u'\n' + indent + QStringLiteral("2024/01/15(月)\n") + indent
        + QStringLiteral("21:03\tたろう\tこんばんは！\n")
        + translated(QT_TRANSLATE_NOOP(
            "CommandLine",
            "  Other chat apps' exports, as downloaded (a ZIP or TAR is read in place) or\n"
            "  extracted; every chat in one becomes a page of its own. Where the app makes\n"
            "  them:\n"
            "    Telegram Desktop: Settings > Advanced > Export Telegram data, or a chat's\n"
            "      menu > Export chat history, as JSON (result.json)\n"
            "    Discord: the common exporter's JSON, or Settings > Data & Privacy >\n"
            "      Request all of my data (the ZIP, its folder, or a channel's\n"
            "      messages/c…/messages.json or .csv)\n"
            "    Skype: Export your Skype data, conversations (the .tar, messages.json)\n"
            "    Instagram, Messenger: Accounts Center > Download your information, as JSON\n"
            "      (the ZIP, its folder, or a thread's message_1.json)\n"
            "    WhatsApp: a chat's menu > Export chat (\"WhatsApp Chat with ….txt\", or\n"
            "      the iPhone's ZIP holding _chat.txt)\n"
            "    KakaoTalk: a chat's menu > Export chat (phone) or Save chat (PC), *.txt\n"
            "    Slack: Workspace settings > Import/Export Data > Export (the ZIP or folder)\n"
            "    X: Settings > Your account > Download an archive of your data (the ZIP,\n"
            "      its folder, or data/direct-messages.js)\n"))
        + translated(QT_TRANSLATE_NOOP(
            "CommandLine",
            "  The indented text of an export is UTF-8 with a byte order mark and CR LF;\n"
            "  replies, attachments and reactions are short lines of their message.\n"));
}

QString optionsText()
{
    QString text = translated(QT_TRANSLATE_NOOP("CommandLine", "Options:")) + u'\n';
    const QString indent(2 + HelpNameWidth + 2, u' ');
    for (const HelpOption &option : HelpOptions) {
        QStringList lines = translated(option.text).split(u'\n');
        if (option.more)
            lines += option.more();
        const QString names = QString::fromLatin1(option.names);
        // Names too long for their column have the description start on the next line.
        const QString column = names.size() > HelpNameWidth
            ? QString(names + u'\n' + indent)
            : QString(names.leftJustified(HelpNameWidth) + QStringLiteral("  "));
        text += QStringLiteral("  ") + column + lines.first() + u'\n';
        for (qsizetype i = 1; i < lines.size(); ++i)
            text += indent + lines[i] + u'\n';
    }
    return text;
}

} // namespace

QString helpText()
{
    return translated(QT_TRANSLATE_NOOP("CommandLine", "Usage:"))
        + QStringLiteral("\n  pelorin [--settings FILE] [LOG...]\n"
                         "  pelorin --batch [OPTION...] [--text | --html] LOG|FOLDER...\n"
                         "  pelorin --batch [OPTION...] (--text | --html) -\n"
                         "  pelorin --verify PAGE [LOG...]\n\n")
        + translated(QT_TRANSLATE_NOOP(
            "CommandLine",
            "Pelorin turns chat logs (text logs *.txt, LINE talk-history exports, the\n"
            "messenger's *.xml histories, and the exports of other chat apps) into an\n"
            "indented text file or a coloured HTML page, written next to each log under its\n"
            "name with the configured prefix (by default \"_\"): chat.txt gives _chat.txt or\n"
            "_chat.htm, and the chat Ann of talks.zip gives _talks_Ann.htm.\n"
            "\n"
            "Without --batch the window opens. LOG arguments start a conversion with the\n"
            "saved settings that ends the program without showing the window.\n"
            "\n"
            "The saved settings decide what no option names: the output kind, the page\n"
            "style, the index page, the encoding, the prefix, the colours. The window\n"
            "changes them; --batch only reads them, and its options below override them\n"
            "for that run alone."))
        + QStringLiteral("\n\n") + logKindsText() + u'\n' + optionsText() + u'\n'
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
            "  else goes; it needs --text or --html. Messages name it \"standard input\".\n"
            "  The log is first copied into the temporary folder ($TMPDIR, by default /tmp),\n"
            "  which needs room for it and its output; nothing is left there when the run\n"
            "  is interrupted."))
        + QStringLiteral("\n\n")
        + translated(QT_TRANSLATE_NOOP(
            "CommandLine",
            "Settings file:\n"
            "  Without --settings, \"基本設定よ.ini\" beside the program is used when it\n"
            "  already exists there (a portable copy). Otherwise the one in your\n"
            "  configuration folder, $XDG_CONFIG_HOME/pelorin/ (by default\n"
            "  ~/.config/pelorin/), created on the first save."))
        + QStringLiteral("\n\n")
        + translated(QT_TRANSLATE_NOOP(
            "CommandLine",
            "Exit status:\n"
            "  0    every log was written (and for the window: it closed normally);\n"
            "       --verify: every source is the same\n"
            "  1    --batch: a log, an index page or a page's search data was not written;\n"
            "       --verify: a source changed or is missing\n"
            "  2    usage error: an unknown option, an option without its value or without\n"
            "       --batch, an unknown --encoding WORD or --page STYLE, both --text and\n"
            "       --html, or both --index and --no-index, --batch without a LOG, or \"-\"\n"
            "       with another LOG, without --text or --html, or with --output-dir;\n"
            "       --batch: the settings file exists but cannot be read, or the output\n"
            "       folder cannot be made (nothing is converted);\n"
            "       the window was asked for but no display is available\n"
            "  3    --verify: the page cannot be read, or does not say what it was made of\n"
            "  141  --batch with \"-\": the reader of standard output stopped reading (as\n"
            "       \"| head\" does); the run ends without a message, by the signal SIGPIPE,\n"
            "       as any filter does, and the shell reports 141"))
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
