#pragma once

#include <QString>

// The private folder "-" keeps the copy of standard input and its output in, while the run
// lasts. It goes with what it holds when the run ends, and also when the run is interrupted by
// SIGINT, SIGTERM or SIGHUP (Ctrl-C, a kill, a closed terminal): nothing piles up in the
// temporary folder. The signals' earlier handling is restored when the folder goes, and an
// interrupted run then ends by the same signal, as the shell expects.
//
// One such folder exists at a time: the signal handler knows its path.
class BatchTempDir
{
public:
    BatchTempDir();
    ~BatchTempDir();
    BatchTempDir(const BatchTempDir &) = delete;
    BatchTempDir &operator=(const BatchTempDir &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }
    QString errorString() const { return m_error; }

private:
    QString m_path;
    QString m_error;
};
