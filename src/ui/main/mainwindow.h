#pragma once

#include "ui/uiutil.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class EncodingMenu;
class TimeZoneMenu;
class QAction;
class QCheckBox;
class QDialog;
class QLabel;
class QMenu;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class PreviewBox;
struct AppState;

// The main window (frmMain): file selection, output kind, status and progress of a run, the
// menus that open the other windows. A run sees it through its private RunHost, Host.
//
// Controls by objectName: lblCnt, lblChange, cmdFileView, chkPos, Frame1, optP0 / optP1 (the
// two output kinds; each also carries its index in the property "index"), rTxt, SBar with the
// panels Panel1 (status text) and Progress, PBar, lnkOutput (opens the output folder after a run
// of several logs), Text1 (off-screen focus taker). Menu actions:
// mnuFileOpen, mnuRun, mnuSetting, mnuRuleSet, mnuRuleEna, the mnuEncoding submenu,
// mnuHelp, mnuHelp2, mnuClose; the
// shortcut-only actions mnuFileOpen__ (Ctrl+O), mnuRun__ (Ctrl+R), mnuClose__ (Ctrl+Q),
// mnuHelp__ (Ctrl+H).
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The file-open dialog: the chosen files' full paths, empty when cancelled.
    using FileDialogFunction = std::function<QStringList(QWidget *parent, const QString &dir)>;

    // `showMessage` shows every message box of the window and of the dialogs it opens.
    MainWindow(AppState &state, ui::MessageFunction showMessage, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Loads the settings and either converts the logs given on the command line without
    // showing the window, then shuts down (returns true), or shows the window (returns false).
    bool startUp(const QStringList &arguments);

    // Redraws the preview in the style of the chosen output.
    void writeText();

    QString exampleName() const { return m_exampleName; }
    QString statusText() const;

    // Test seam: how the file-open dialog is shown.
    void setFileDialogFunction(FileDialogFunction dialog) { m_fileDialog = std::move(dialog); }

    // The progress display of a run: the bar over the status bar's "Progress" panel, and
    // the window taking no input meanwhile.
    void beginProgressDisplay();
    void endProgressDisplay();

    // Opens the settings dialog modelessly, or brings the open one to the front.
    void openSettingsDialog();

signals:
    // Shutdown has saved the settings: the program ends.
    void shutDownDone();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    class Host;

    void buildControls();
    void buildMenus();
    void buildPageMenu(QMenu *settings);
    void showPageChoices(); // the page menu's marks from the settings
    QAction *addShortcut(const char *name, const QString &text, const QKeySequence &key,
                         void (MainWindow::*handler)());
    void restorePosition();
    bool startFromCommandLine(const QStringList &arguments);
    void shutDown();
    // Saves the settings on screen at once: a start from "Open with" while the window is open
    // converts with them. A failure is said at the close.
    void keepChoices();
    // The settings file exists but could not be read; `note` says what follows from that.
    void reportUnreadableSettings(const QString &note);
    // The window takes no input while any reason for it holds (a run, the rule list).
    void blockInput();
    void unblockInput();
    void setStatusText(const QString &text);
    // After a run of several logs: what it did in the status text, and a link that opens
    // `outputFolder` (none when nothing was written). Any later status text takes both away.
    void showRunReport(const QString &summary, const QString &outputFolder);
    void openOutputFolder(const QString &link);
    void focusOffscreen(); // the keyboard focus goes to the off-screen Text1

    // Commands.
    void mnuFileOpen_Click();
    void mnuRun_Click();
    // The selected logs, exports of one chat, as one output.
    void mnuMerge_Click();
    void mnuSetting_Click();
    void mnuRuleSet_Click();
    void mnuRuleEna_Click();
    void mnuPage_Click(); // either page style
    void mnuIndex_Click();
    void mnuRedact_Click();
    void mnuProvenance_Click();
    void mnuHelp_Click();
    void mnuHelp2_Click();
    void mnuClose_Click();
    void cmdFileView_Click();
    void optP_Click(int index);
    void chkPos_Click();
    void rTxt_Drop(const QStringList &paths);

    // Labels.
    void setExampleName(const QString &name);
    void showChangedName();
    void showCount();
    void showNothingSelected();

    AppState &m_state;
    QString m_exampleName;
    QString m_sampleText;
    bool m_running = false;
    int m_inputBlocks = 0;
    bool m_progressShown = false;
    bool m_shutDown = false;

    ui::MessageFunction m_showMessage;
    FileDialogFunction m_fileDialog;
    QPointer<QDialog> m_settingsDialog;

    QLabel *m_lblCnt = nullptr;
    QLabel *m_lblChange = nullptr;
    QCheckBox *m_chkPos = nullptr;
    QRadioButton *m_optP[2] = {nullptr, nullptr};
    PreviewBox *m_rTxt = nullptr;
    QLabel *m_panel1 = nullptr;
    QWidget *m_progressPanel = nullptr;
    QProgressBar *m_pBar = nullptr;
    QLabel *m_lnkOutput = nullptr; // over the progress panel after a run of several logs
    QLineEdit *m_text1 = nullptr;
    QAction *m_mnuRuleEna = nullptr;
    QList<QAction *> m_mnuPageStyles; // one a page style, in the order of PageStyles
    QAction *m_mnuIndex = nullptr;
    QAction *m_mnuRedact = nullptr; // outputs safe to share (Settings::redact)
    QAction *m_mnuProvenance = nullptr; // every output says its source (Settings::provenance)
    EncodingMenu *m_mnuEncoding = nullptr; // "文字コード", see encodingmenu.h
    TimeZoneMenu *m_mnuTimeZone = nullptr; // "時刻帯", see timezonemenu.h
    QList<QAction *> m_commands; // every action, disabled while the window takes no input
    std::unique_ptr<Host> m_host;
};
