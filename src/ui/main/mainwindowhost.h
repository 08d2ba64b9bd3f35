#pragma once

#include "engine/runhost.h"
#include "mainwindow.h"
#include "runreport.h"

// The main window as a conversion run sees it: the status text and progress bar, the message
// boxes and dialogs a run opens, and the window's state around the run.
class MainWindow::Host : public RunHost
{
public:
    explicit Host(MainWindow &window);
    ~Host() override;

    void setStatusText(const QString &text) override;
    void progressInit(int maximum) override;
    void setProgressValue(int value) override;
    void processEvents() override;
    void showMessage(Icon icon, const QString &prompt, const QString &title,
                     const QString &context = QString()) override;
    void openSettingsDialog() override;
    void runSpeakerColorDialog(SpeakerHandover &handover) override;
    void beginProgressDisplay() override;
    void endProgressDisplay() override;
    void setMainWindowVisible(bool visible) override;
    void setBusyCursor(bool busy) override;
    void focusOffscreen() override;
    void selectionCleared() override;
    void logStarting(int index, int count) override;
    void logWritten(const QString &logPath, const QString &outputPath) override;
    void textInUtf8(const QString &logPath, const QString &outputPath) override;
    void runFinished() override;

private:
    MainWindow &m_window;
    bool m_busyCursor = false;
    RunReport m_report;
};
