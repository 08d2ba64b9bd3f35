#pragma once

#include <QStringList>

class QApplication;

// Starts the program with its window: loads the settings from `settingsPath`, and either
// converts `logs` without showing the window (the command-line start) or shows the window.
// Returns the application's exit code.
int runGui(QApplication &app, const QString &settingsPath, const QStringList &logs);
