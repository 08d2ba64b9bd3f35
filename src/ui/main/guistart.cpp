#include "guistart.h"

#include "engine/appstate.h"
#include "mainwindow.h"

#include <QApplication>

int runGui(QApplication &app, const QString &settingsPath, const QStringList &logs)
{
    AppState state;
    state.settings.iniPath = settingsPath;
    MainWindow window(state);
    // Closing the main window ends the program, with any dialog still open over it.
    QObject::connect(&window, &MainWindow::shutDownDone, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (window.startUp(logs))
        return 0;
    return app.exec();
}
