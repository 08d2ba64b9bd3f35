#include "settingslocation.h"

#include "fileio/filename.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString locateSettingsFile(const QString &explicitPath, const QString &programDir)
{
    if (!explicitPath.isEmpty())
        return fileio::absolutePath(explicitPath); // the name's bytes as given

    if (!programDir.isEmpty()) {
        const QString portable = QDir(programDir).absoluteFilePath(SettingsFileName);
        const QFileInfo dir(programDir);
        if (QFileInfo::exists(portable) || (dir.isDir() && dir.isWritable()))
            return portable;
    }
    // The folder is created when the file is first saved.
    const QString configDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir(configDir).absoluteFilePath(SettingsFileName);
}

QString defaultLogDir()
{
    const QString home = QDir::homePath();
    return home.endsWith(QLatin1Char('/')) ? home : home + QLatin1Char('/');
}
