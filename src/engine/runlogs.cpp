#include "engine/runlogs.h"

#include "engine/selection.h"
#include "fileio/filename.h"
#include "fileio/inputfile.h"

#include <QDir>
#include <optional>

namespace {

QString cleanName(const QString &path)
{
    return QDir::cleanPath(fileio::absolutePath(path));
}

std::optional<std::pair<quint64, quint64>> fileKey(const QString &path)
{
    const auto id = fileio::fileId(path);
    if (!id)
        return std::nullopt;
    return std::pair<quint64, quint64>(quint64(id->device), quint64(id->inode));
}

} // namespace

RunLogs::RunLogs(const QStringList &paths)
{
    for (const QString &path : paths) {
        m_names.insert(cleanName(path));
        if (const auto key = fileKey(path))
            m_files.insert(*key);
    }
}

RunLogs RunLogs::selected(const Selection &selection)
{
    QStringList paths;
    for (int i = 0; i < selection.selectedCount(); ++i)
        paths.append(selection.path(i));
    return RunLogs(paths);
}

bool RunLogs::includes(const QString &outputPath) const
{
    if (m_names.isEmpty())
        return false;
    if (m_names.contains(cleanName(outputPath)))
        return true;
    const auto key = fileKey(outputPath);
    return key && m_files.contains(*key);
}
