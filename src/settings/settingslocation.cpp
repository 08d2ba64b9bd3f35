#include "settingslocation.h"

#include "fileio/filename.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

QString locateSettingsFile(const QString &explicitPath, const QString &programDir)
{
    if (!explicitPath.isEmpty())
        return fileio::absolutePath(explicitPath); // the name's bytes as given

    // Only a file put there on purpose makes a portable copy: a writable program folder alone
    // (~/.local/bin, a build tree) is no place for the user's settings.
    if (!programDir.isEmpty()) {
        const QString portable = QDir(programDir).absoluteFilePath(SettingsFileName);
        if (QFileInfo(portable).isFile())
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

QString dataDirFor(const QString &programDir)
{
    return QDir::cleanPath(QDir(programDir).filePath(QStringLiteral(PELORIN_DATA_RELATIVE)));
}

QString docDirFor(const QString &programDir)
{
    return QDir::cleanPath(QDir(programDir).filePath(QStringLiteral(PELORIN_DOC_RELATIVE)));
}

bool loadQtJapanese(QTranslator &translator)
{
    return translator.load(QStringLiteral("qtbase_ja"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}
