#pragma once

#include "engine/read/linerecords.h"
#include "engine/runhost.h"
#include "fileio/atomicfile.h"

#include <QByteArray>
#include <QString>
#include <memory>

struct AppState;
struct Settings;
class LogReader;
class LineTests;
class RunLogs;

// The per-log steps both converters share: feedback, reading, the missing-speaker report and
// the atomic output next to the log.

// Status texts appear unless speedUp is set; the progress bar moves only when neither speedUp
// nor commandLineRun is set.
bool statusShown(const Settings &settings);
bool progressShown(const Settings &settings);

// Sets the first status panel's text and lets the window breathe, unless speedUp is set.
void showStatus(const Settings &settings, RunHost &host, const QString &text,
                bool processEvents = true);

// The outputs of a run, each written from one selected log, or merging several
// (AppState::mergeLogs): then the logs that are no chat of an export make one output, and the
// chats of one name across the exports that hold them ("2023.zip/Ann", "2024.zip/Ann") another.
struct RunOutput
{
    int log = 0; // the selected log that names it
    QStringList others; // the logs merged with it
    QString stem; // of the output's name: "dir/_chat." or "dir/_chat_merged."
};
QList<RunOutput> runOutputs(const AppState &state);
// How a text log merged with others has its lines sorted: by the line tests of `tests`, which
// must outlive the reading.
LineSorting lineSorting(const LineTests &tests);

// Opens a log for reading in the encoding the settings ask for. An XML history that fails to load
// is reported with "Can't load xml"; any unreadable log is also told to the host (the batch run
// prints why). Either way the log then simply has no lines, and the caller reports it as having no
// speakers.
bool openLog(LogReader &reader, const AppState &state, RunHost &host, const QString &path);

// The progress bar of one log: progressInit / progressStep, forwarded to the window only when
// the shown value moves by a visible step (at most about a thousand updates per log).
class ProgressMeter
{
public:
    ProgressMeter(RunHost &host, bool enabled)
        : m_host(host)
        , m_enabled(enabled)
    {
    }

    void init(qsizetype maximum); // 0 .. maximum, value 0
    void step(qsizetype count = 1); // adds up to the maximum
    void clear(); // value back to 0
    bool enabled() const { return m_enabled; }

private:
    RunHost &m_host;
    bool m_enabled;
    qsizetype m_maximum = 0;
    qsizetype m_value = 0;
    qsizetype m_shown = 0;
    qsizetype m_stride = 1;
};

// Keeps the window responsive through long work: pending events are processed after every
// PumpLines lines, and sooner when the lines since the last time hold PumpChars characters.
// The work is counted, not timed, so a run behaves the same on a busy machine as on an idle one;
// scripts/bench measures the time between two pumps.
class EventPump
{
public:
    static constexpr qsizetype PumpLines = 2048;
    static constexpr qsizetype PumpChars = 256 * 1024;

    explicit EventPump(RunHost &host)
        : m_host(host)
    {
    }

    // One line of `chars` characters is done (or a piece of output of that size).
    void lineDone(qsizetype chars)
    {
        m_chars += chars;
        if (++m_lines >= PumpLines || m_chars >= PumpChars) {
            m_host.processEvents();
            m_lines = m_chars = 0;
        }
    }

private:
    RunHost &m_host;
    qsizetype m_lines = 0;
    qsizetype m_chars = 0;
};

// The output file of one log, written atomically (fileio::AtomicFile): nothing appears under
// the output name until finish() succeeds, and an earlier file of that name survives a failed
// rewrite. It refuses to replace its own log or any other log of the run.
class OutputFile
{
public:
    OutputFile(const QString &logPath, const QString &outputPath, const AppState &state,
               const RunLogs &selected);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Starts writing (silently; a failure is reported by finish()).
    void open();
    // Appends bytes; buffered, so many small writes cost little.
    void write(QByteArrayView bytes);
    QByteArray &buffer() { return m_buffer; } // append directly, flushed by write()/finish()
    void flushIfFull();

    // Commits the file. On failure reports it (the message box "保存エラー"), sets
    // colorDialogCloses to 0 (the log was not written) and returns false.
    bool finish(AppState &state, RunHost &host);
    // Drops everything written so far (no speakers after all).
    void discard();

    const QString &outputPath() const { return m_outputPath; }

private:
    void flush();

    QString m_logPath;
    QString m_outputPath;
    bool m_overwritesLog = false;
    std::unique_ptr<fileio::AtomicFile> m_file;
    QByteArray m_buffer;
};
