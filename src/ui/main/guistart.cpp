#include "guistart.h"

// TEMPORARY: replaced by the main window's start-up.
int runGui(QApplication &, const QString &, const QStringList &) { return 0; }
