#pragma once

#include <QString>

inline const QString SettingsFileName = QStringLiteral("基本設定よ.ini");

// Where the settings file lives: `explicitPath` when given (--settings FILE); otherwise
// "基本設定よ.ini" in `programDir` when that file exists there or the folder is writable (a
// portable install); otherwise in the user's configuration folder, created on first save.
QString locateSettingsFile(const QString &explicitPath, const QString &programDir);

// The default folder for the file dialog: the user's home folder, ending with "/".
QString defaultLogDir();
