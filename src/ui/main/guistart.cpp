#include "guistart.h"

#include "engine/appstate.h"
#include "mainwindow.h"
#include "settings/settingslocation.h"
#include "ui/uiutil.h"

#include <QApplication>
#include <QTranslator>

int runGui(QApplication &app, const QString &settingsPath, const QStringList &logs)
{
    // The windows are Japanese whatever the locale, and so are Qt's own dialogs and menus in them.
    QTranslator qtJapanese;
    if (loadQtJapanese(qtJapanese))
        app.installTranslator(&qtJapanese);
    ui::identifyToDesktop();
    AppState state;
    state.settings.iniPath = settingsPath;
    // Only the main window's shutdown ends the program: a fast run hides the window, and the
    // speaker colour dialog closing then must not count as the last window going away.
    app.setQuitOnLastWindowClosed(false);
    MainWindow window(state, ui::showMessageBox);
    QObject::connect(&window, &MainWindow::shutDownDone, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (window.startUp(logs))
        return 0;
    return app.exec();
}
