#pragma once

#include "codec/cp932.h"
#include "engine/appstate.h"
#include "settings/inifile.h"
#include "settings/settingslocation.h"
#include "support/controls.h"
#include "ui/main/mainwindow.h"

#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// One main window on a temporary settings file; message boxes and the file-open dialog are
// answered by the test.
struct MainWindowFixture
{
    struct Message
    {
        QMessageBox::Icon icon;
        QString prompt;
        QString title;
        bool windowUsable; // the window's controls and menus took input behind the message
    };

    QTemporaryDir dir;
    AppState state;
    std::unique_ptr<MainWindow> window;
    QList<Message> messages;
    QList<QStringList> dialogAnswers; // one answer per opening of the file-open dialog
    QStringList dialogDirs; // the folder each opening started in

    MainWindowFixture() { state.settings.iniPath = dir.filePath(SettingsFileName); }

    void preset(const QString &section, const QString &key, const QString &value)
    {
        writeIniValue(state.settings.iniPath, section, key, value);
    }
    QString stored(const QString &section, const QString &key) const
    {
        return readIniValue(state.settings.iniPath, section, key);
    }

    // Creates the window and runs its start-up; true when it converted a command line.
    bool start(const QStringList &arguments = {})
    {
        window = std::make_unique<MainWindow>(
            state,
            [this](QWidget *, QMessageBox::Icon icon, const QString &prompt, const QString &title) {
                messages.append(
                    {icon, prompt, title,
                     window->centralWidget()->isEnabled() && window->menuBar()->isEnabled()});
            });
        window->setFileDialogFunction([this](QWidget *, const QString &startDir) {
            dialogDirs.append(startDir);
            return dialogAnswers.isEmpty() ? QStringList() : dialogAnswers.takeFirst();
        });
        return window->startUp(arguments);
    }

    // A Shift-JIS log with two speakers in the temporary folder.
    QString chatLog(const QString &name)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(cp932::encode(QStringLiteral("ぽぷる の発言：\r\n\tこんにちは\r\n"
                                                    "ぴのこ の発言：\r\n\tやあ\r\n")));
        return path;
    }
    QStringList paths(const QStringList &names) const
    {
        QStringList out;
        for (const QString &name : names)
            out.append(dir.filePath(name));
        return out;
    }

    template<typename T> T *find(const char *name) const
    {
        return control<T>(window.get(), QString::fromLatin1(name));
    }
    QString text(const char *labelName) const { return find<QLabel>(labelName)->text(); }
    void trigger(const char *actionName) const { find<QAction>(actionName)->trigger(); }
};
