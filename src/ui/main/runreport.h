#pragma once

#include <QList>
#include <QString>

// What a run over several logs did, as the main window tells it: one progress over the whole
// run, weighted by the logs' sizes, and at the end how many outputs were written, the first
// failure and the folder of the outputs. A run of one log is left as it always was.
class RunReport
{
public:
    // Progress over the run runs from 0 to this.
    static constexpr int Scale = 1000;

    // A run of `sizes.size()` logs with these sizes in bytes begins.
    void begin(const QList<qint64> &sizes);
    bool active() const { return logCount() > 1; }

    void logStarting(int index);
    // The converter counts its steps of the current log up to `maximum`.
    void logSteps(int maximum) { m_logSteps = maximum; }
    // Where the bar stands after `steps` steps of the current log. It never goes back: a log's
    // steps counted again from 0 (as before its output is saved) leave it where it was.
    int progress(int steps);

    // Only the first failure is kept; `log` is its log's path.
    void failed(const QString &log, const QString &reason);
    void written(const QString &outputPath);
    // An XML history's text went out in UTF-8, as code page 932 lacks some of its characters.
    void writtenInUtf8(const QString &outputPath);

    // "17 件中 16 件を書き出しました", with the first failure after it.
    QString summary() const;
    // The folder of the first output written, empty when none was.
    QString outputFolder() const { return m_outputFolder; }
    // What the status bar says of outputs in UTF-8; empty when there were none.
    QString utf8Note() const;

private:
    qsizetype logCount() const { return m_starts.size() - 1; }

    // Where each log starts in the run's bytes, and where the last one ends.
    QList<qint64> m_starts {0};
    int m_index = -1;
    int m_logSteps = 0;
    int m_shown = 0;
    int m_written = 0;
    int m_inUtf8 = 0;
    QString m_firstInUtf8;
    QString m_failure;
    QString m_outputFolder;
};
