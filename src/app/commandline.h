#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The program's command line, parsed without running anything.
struct CommandLine
{
    bool help = false;
    bool version = false;
    bool batch = false;
    std::optional<int> changeType; // --text (0) / --html (1), batch only
    QString settingsFile; // --settings FILE
    QStringList logs; // LOG arguments, in order
    QString error; // non-empty: a usage error (exit status 2)
};

CommandLine parseCommandLine(const QStringList &arguments); // arguments without argv[0]
// The arguments after argv[0], decoded so that every file name keeps its exact bytes (names
// that are not UTF-8 too, see fileio::decodeName).
QStringList programArguments(int argc, const char *const *argv);
QString helpText();
QString versionText(); // "Pelorin 2.00"

// Exit statuses of the program.
inline constexpr int ExitAllWritten = 0;
inline constexpr int ExitSomeNotWritten = 1;
inline constexpr int ExitUsage = 2;

// The settings file this start uses, for the window and the batch run alike.
QString settingsPathFor(const CommandLine &commandLine, const QString &programDir);
