#pragma once

#include "codec/textcodec.h"

#include <QString>
#include <QStringList>
#include <csignal>
#include <optional>

// The program's command line, parsed without running anything.
struct CommandLine
{
    bool help = false;
    bool version = false;
    bool batch = false;
    std::optional<int> changeType; // --text (0) / --html (1), batch only
    QString pageStyle; // --page STYLE, a word of PageStyles, batch only; empty: as the settings say
    std::optional<bool> index; // --index (true) / --no-index (false), batch only
    std::optional<textcodec::Choice> encoding; // --encoding auto|sjis|utf-8|utf-16, batch only
    QString settingsFile; // --settings FILE
    QString outputDir; // -o / --output-dir DIR, batch only
    QString timeZone; // --timezone ZONE (an IANA name), batch only
    QString namesFile; // --names FILE ("id TAB name" lines), batch only
    bool recursive = false; // -r / --recursive: a folder's subfolders too, batch only
    bool quiet = false; // -q / --quiet: only errors, batch only
    bool redact = false; // --redact: names and personal details replaced, batch only
    bool merge = false; // --merge: the logs are exports of one chat, written as one, batch only
    // --provenance: classic pages and texts also end with where they came from, batch only
    bool provenance = false;
    // --verify PAGE: the sources the page names checked again (the LOG arguments, where given,
    // are where they are now, in the page's order); no conversion
    QString verifyPage;
    QStringList logs; // LOG arguments (files or folders), in order
    QString error; // non-empty: a usage error (exit status 2)

    bool opensWindow() const
    {
        return error.isEmpty() && !help && !version && !batch && verifyPage.isEmpty();
    }
    // "-" as the only LOG: the log comes from standard input, its output goes to standard output.
    bool readsStandardInput() const { return logs.size() == 1 && logs.first() == u"-"; }
};

CommandLine parseCommandLine(const QStringList &arguments); // arguments without argv[0]
// The arguments after argv[0], decoded so that every file name keeps its exact bytes (names
// that are not UTF-8 too, see fileio::decodeName).
QStringList programArguments(int argc, const char *const *argv);
// The texts the command line prints (helptext.cpp), in the language of the installed
// translations; each ends with a line break, and no line is wider than 80 columns.
QString helpText();
QString versionText(); // "Pelorin 2.00" and the licence
QString usageErrorText(const QString &error); // the error and a pointer to --help
QString noDisplayText(); // the window was wanted, but there is no display

// Exit statuses of the program.
inline constexpr int ExitAllWritten = 0;
inline constexpr int ExitSomeNotWritten = 1;
inline constexpr int ExitUsage = 2;
// --verify: a page that could not be read, or that names no source.
inline constexpr int ExitNotVerifiable = 3;
// The reader of standard output went away ("pelorin --batch --text - < log | head"): the
// status of any filter cut short, which dies of SIGPIPE. main ends the program by that signal
// once the run has cleaned up.
inline constexpr int ExitOutputClosed = 128 + SIGPIPE;

// The settings file this start uses, for the window and the batch run alike.
QString settingsPathFor(const CommandLine &commandLine, const QString &programDir);
