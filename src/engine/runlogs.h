#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <utility>

class Selection;

// The logs of a run, by name and by the file each name reaches: no output may replace any of
// them (the log itself, and also another selected log that an output name happens to hit,
// as the text output of a.xml hits a selected log _a.txt).
class RunLogs
{
public:
    RunLogs() = default;
    explicit RunLogs(const QStringList &paths);
    // The logs a run over `selection` converts.
    static RunLogs selected(const Selection &selection);

    // True when writing `outputPath` would replace one of the logs: the same name, or the
    // same file reached another way (a link, "..", a hard link).
    bool includes(const QString &outputPath) const;

private:
    QSet<QString> m_names; // absolute and cleaned
    QSet<std::pair<quint64, quint64>> m_files; // device and inode of every existing log
};
