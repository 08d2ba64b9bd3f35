#pragma once

#include <QString>

class QTranslator;

inline const QString SettingsFileName = QStringLiteral("基本設定よ.ini");

// Where the settings file lives: `explicitPath` when given (--settings FILE); otherwise
// "基本設定よ.ini" in `programDir` when that file already exists there (a portable copy);
// otherwise in the user's configuration folder ($XDG_CONFIG_HOME/pelorin), created on first save.
QString locateSettingsFile(const QString &explicitPath, const QString &programDir);

// The default folder for the file dialog: the user's home folder, ending with "/".
QString defaultLogDir();

// The program's shared files (translations) and its documentation (the help page), found
// relative to the folder of the executable, so that an install under any prefix and the build
// tree alike find their own.
QString dataDirFor(const QString &programDir);
QString docDirFor(const QString &programDir);

// Loads Qt's own Japanese texts (file dialogs, context menus, standard buttons, the file errors
// Qt reports) into `translator`, from the system's Qt translations; false when they are not
// installed.
bool loadQtJapanese(QTranslator &translator);
