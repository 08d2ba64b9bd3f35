// The main window's start-up, shutdown and commands.
#include "encodingmenu.h"
#include "engine/appstate.h"
#include "engine/convert/run.h"
#include "engine/folderintake.h"
#include "engine/intake.h"
#include "engine/read/formats/formats.h"
#include "engine/runtext.h"
#include "fileio/filename.h"
#include "fileio/folder.h"
#include "filelistdialog.h"
#include "mainwindow.h"
#include "mainwindowhost.h"
#include "previewbox.h"
#include "settings/pagestyles.h"
#include "settings/settings.h"
#include "timezonemenu.h"
#include "ui/help/helpwindow.h"
#include "ui/help/versionwindow.h"
#include "ui/rules/ruledialogs.h"
#include "ui/uiutil.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>

namespace {

const QString RulesTitle = QStringLiteral("ルール適用");
const QString ReadyToRun = QStringLiteral("はよ実行しれっ(´･ω･`)つ[実行っ]");

// Dropped folders stand for the logs directly in them, as the batch run reads a folder.
struct DropIntake
{
    QStringList paths;
    int folders = 0;
    int fromFolders = 0;
    QString unreadable; // the first folder that could not be listed, and why
};

DropIntake expandFolders(const QStringList &dropped, const QString &addStr)
{
    DropIntake intake;
    for (const QString &path : dropped) {
        if (!fileio::isFolder(path) || isChatExport(path)) {
            intake.paths.append(path); // a log, or an export whose chats the intake gives
            continue;
        }
        ++intake.folders;
        const FolderScan scan = scanFolder(path, false, addStr);
        for (const FolderScan::Log &log : scan.logs)
            intake.paths.append(log.path);
        intake.fromFolders += int(scan.logs.size());
        if (!scan.unreadable.isEmpty() && intake.unreadable.isEmpty()) {
            const FolderScan::Problem &problem = scan.unreadable.first();
            intake.unreadable
                = problem.folder + QStringLiteral("（") + problem.reason + QStringLiteral("）");
        }
    }
    return intake;
}

// What a drop with folders in it says in the status bar.
QString folderDropText(const DropIntake &intake)
{
    if (!intake.unreadable.isEmpty())
        return QStringLiteral("フォルダを読めませんでした：") + intake.unreadable;
    if (intake.fromFolders == 0)
        return QStringLiteral("フォルダにログ（%1）がありませんでした（下のフォルダは見ません）")
            .arg(formats::extensionList());
    return QStringLiteral("フォルダから %1 件のログを加えました（下のフォルダは含みません）")
        .arg(intake.fromFolders);
}

int lastSeparator(const QString &path)
{
    return int(nameStart(path)) - 1;
}

// The path up to and including its last folder separator.
QString folderOf(const QString &path)
{
    return path.left(lastSeparator(path) + 1);
}

// addStr + the file name without its last three characters ("chat.txt" -> "_chat.").
QString exampleNameFor(const QString &path, const QString &addStr)
{
    const QString name = path.mid(lastSeparator(path) + 1);
    return addStr + name.left(qMax(0, int(name.size()) - 3));
}

} // namespace

bool MainWindow::startUp(const QStringList &arguments)
{
    Settings &settings = m_state.settings;
    loadSettings(settings, m_state.palette);
    settings.colorCountAtLoad = settings.colorCount;
    // A file that could not be read is never saved over (saveSettings refuses it).
    if (!settings.iniUnreadable && !saveSettings(settings, m_state.palette))
        m_showMessage(this, QMessageBox::Critical,
                      ui::settingsNotWrittenText(settings.iniPath, ui::SettingsInForceNotSaved),
                      ui::SettingsNotWrittenTitle);

    restorePosition();
    m_mnuRuleEna->setChecked(settings.msgRuleEnable != 0);
    showPageChoices();
    m_mnuEncoding->showChoice();
    m_mnuTimeZone->showChoice();

    settings.commandLineRun = false;
    if (startFromCommandLine(arguments))
        return true;

    m_sampleText = PreviewBox::buildSampleText(settings.headerText);
    show();
    const int type = settings.changeType != 0 ? 1 : 0;
    m_optP[1 - type]->setChecked(true);
    optP_Click(1 - type);
    m_optP[type]->setChecked(true);
    optP_Click(type);
    setStatusText(runtext::Cleared);
    m_chkPos->setChecked(settings.alwaysOnTop != 0);
    if (settings.iniUnreadable) // said over the window the user then works in
        reportUnreadableSettings(
            QStringLiteral("既定の設定で動くけど、このファイルには保存しないからね"));
    focusOffscreen();
    return false;
}

void MainWindow::restorePosition()
{
    const QPoint saved(ui::twips(m_state.settings.windowLeft),
                       ui::twips(m_state.settings.windowTop));
    move(saved);
    // A position saved on a screen that is gone would leave the fixed-size window out of
    // reach: bring it back to the primary screen's corner.
    const QRect placed(saved, frameGeometry().size());
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(placed))
            return;
    }
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        move(primary->availableGeometry().topLeft());
}

bool MainWindow::startFromCommandLine(const QStringList &arguments)
{
    QStringList paths;
    for (QString argument : arguments) {
        argument.remove(u'"');
        argument = argument.trimmed();
        if (argument.isEmpty())
            continue;
        // A relative name is the working folder's file; the folder then becomes the dialog's.
        paths.append(fileio::absolutePath(argument));
    }
    if (paths.isEmpty())
        return false;
    Selection &selection = m_state.selection;
    addLogFiles(selection, paths, m_state.settings.addStr);
    if (selection.path(0).isEmpty() || selection.selectedCount() < 1)
        return false;
    if (m_state.settings.iniUnreadable) {
        // The defaults would write other names and kinds than the user chose.
        reportUnreadableSettings(QStringLiteral("ログは変換しないからね"));
        shutDown();
        return true;
    }

    m_state.settings.commandLineRun = true;
    m_state.settings.defaultDir = folderOf(selection.path(0));
    mnuRun_Click();
    shutDown();
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // While a run is going on, or the rule list is open, the window cannot be closed.
    if (m_running || m_inputBlocks > 0) {
        event->ignore();
        return;
    }
    shutDown();
    event->accept();
}

void MainWindow::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    Settings &settings = m_state.settings;
    if (!isMinimized() && !settings.commandLineRun) {
        const QPoint at = pos();
        settings.windowTop = ui::twipsOf(at.y());
        settings.windowLeft = ui::twipsOf(at.x());
    }
    settings.msgRuleEnable = m_mnuRuleEna->isChecked() ? 1 : 0;
    if (!settings.iniUnreadable && !saveSettings(settings, m_state.palette))
        m_showMessage(this, QMessageBox::Critical,
                      ui::settingsNotWrittenText(settings.iniPath,
                                                 QStringLiteral("設定は保存されてないからね")),
                      ui::SettingsNotWrittenTitle);
    emit shutDownDone();
}

void MainWindow::keepChoices()
{
    Settings &settings = m_state.settings;
    if (!settings.iniUnreadable)
        saveSettings(settings, m_state.palette);
}

void MainWindow::reportUnreadableSettings(const QString &note)
{
    m_showMessage(this, QMessageBox::Critical,
                  QStringLiteral("設定ファイルを読み込めなかったよ…\n") + m_state.settings.iniPath
                      + u'\n' + note,
                  QStringLiteral("読み込めないっす"));
}

// Commands --------------------------------------------------------------------------------

void MainWindow::mnuFileOpen_Click()
{
    Settings &settings = m_state.settings;
    const QStringList chosen = m_fileDialog(this, settings.defaultDir);
    if (chosen.isEmpty())
        return;
    settings.defaultDir = folderOf(chosen.first());

    Selection &selection = m_state.selection;
    const bool heldBack = selection.isHeldBack();
    if (addLogFiles(selection, chosen, settings.addStr) == 0) {
        // Nothing the intake takes: the earlier selection stays as it was.
        selection.setHeldBack(heldBack);
        focusOffscreen();
        return;
    }
    for (const QString &path : chosen) {
        if (isLogPath(path)) {
            setExampleName(exampleNameFor(path, settings.addStr));
            break;
        }
    }
    showCount();
    setStatusText(ReadyToRun);
    focusOffscreen();
}

void MainWindow::rTxt_Drop(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    Selection &selection = m_state.selection;
    const bool heldBack = selection.isHeldBack();
    const DropIntake intake = expandFolders(paths, m_state.settings.addStr);
    // A drop the intake takes nothing from leaves the earlier selection counted and shown.
    if (addLogFiles(selection, intake.paths, m_state.settings.addStr) == 0)
        selection.setHeldBack(heldBack);
    if (selection.path(0).isEmpty() || selection.selectedCount() == 0) {
        showNothingSelected();
    } else {
        m_state.settings.defaultDir = folderOf(selection.path(0));
        setExampleName(exampleNameFor(selection.path(0), m_state.settings.addStr));
        showCount();
        setStatusText(ReadyToRun);
    }
    if (intake.folders > 0)
        setStatusText(folderDropText(intake));
}

void MainWindow::mnuRun_Click()
{
    if (m_running)
        return;
    // With nothing selected the run only refuses: the window stays as it is behind the message.
    if (m_state.selection.selectedCount() < 1) {
        ::mnuRun_Click(m_state, *m_host);
        return;
    }
    m_running = true;
    // No command can start while the run lets events through, whatever the speed setting.
    blockInput();
    ::mnuRun_Click(m_state, *m_host);
    unblockInput();
    m_running = false;
}

void MainWindow::mnuMerge_Click()
{
    if (m_running)
        return;
    if (m_state.selection.selectedCount() < 2) {
        m_host->showMessage(RunHost::Icon::Information, runtext::MergeNeedsTwo,
                            QStringLiteral("Pelorin"));
        return;
    }
    m_state.mergeLogs = true;
    mnuRun_Click();
    m_state.mergeLogs = false;
}

void MainWindow::mnuSetting_Click()
{
    openSettingsDialog();
}

void MainWindow::mnuRuleSet_Click()
{
    QDialog *rules = createRuleListDialog(m_state, m_showMessage, this);
    if (!rules)
        return;
    blockInput();
    connect(rules, &QObject::destroyed, this, &MainWindow::unblockInput);
    rules->show();
}

void MainWindow::mnuRuleEna_Click()
{
    // The action has already inverted its check mark.
    const bool enabled = m_mnuRuleEna->isChecked();
    if (enabled) {
        m_showMessage(this, QMessageBox::Information,
                      QStringLiteral("メッセージルールを有効にしました。(ﾟ∀ﾟﾉﾉ☆"), RulesTitle);
    } else {
        m_showMessage(this, QMessageBox::Information,
                      QStringLiteral("メッセージルールを無効にしました。Σ(・Д・)"), RulesTitle);
    }
    m_state.settings.msgRuleEnable = enabled ? 1 : 0;
    keepChoices();
}

void MainWindow::showPageChoices()
{
    const PageStyle style = pageStyleOf(m_state.settings);
    for (qsizetype k = 0; k < m_mnuPageStyles.size(); ++k)
        m_mnuPageStyles[k]->setChecked(PageStyles[k].style == style);
    m_mnuIndex->setChecked(m_state.settings.makeIndex == 1);
    m_mnuRedact->setChecked(m_state.settings.redact == 1);
    m_mnuProvenance->setChecked(m_state.settings.provenance == 1);
}

void MainWindow::mnuPage_Click()
{
    for (qsizetype k = 0; k < m_mnuPageStyles.size(); ++k) {
        if (m_mnuPageStyles[k]->isChecked())
            m_state.settings.pageStyle = QString::fromLatin1(PageStyles[k].word);
    }
    keepChoices();
}

void MainWindow::mnuIndex_Click()
{
    m_state.settings.makeIndex = m_mnuIndex->isChecked() ? 1 : 0;
    keepChoices();
}

void MainWindow::mnuRedact_Click()
{
    m_state.settings.redact = m_mnuRedact->isChecked() ? 1 : 0;
    keepChoices();
}

void MainWindow::mnuProvenance_Click()
{
    m_state.settings.provenance = m_mnuProvenance->isChecked() ? 1 : 0;
    keepChoices();
}

void MainWindow::mnuHelp_Click()
{
    showHelpWindow(this);
}

void MainWindow::mnuHelp2_Click()
{
    showVersionWindow(this);
}

void MainWindow::mnuClose_Click()
{
    close();
}

void MainWindow::cmdFileView_Click()
{
    Selection &selection = m_state.selection;
    if (selection.selectedCount() < 1) {
        m_showMessage(this, QMessageBox::Critical, runtext::NoSelection, runtext::NoSelectionTitle);
        focusOffscreen();
        return;
    }
    {
        FileListDialog list(selection, m_showMessage, this);
        list.exec();
    }
    if (selection.selectedCount() < 1) {
        selection.clear();
        showNothingSelected();
    } else {
        setExampleName(exampleNameFor(selection.path(0), m_state.settings.addStr));
    }
    showCount();
    focusOffscreen();
}

void MainWindow::optP_Click(int index)
{
    m_state.settings.changeType = qint16(index);
    const QColor buttonText = QApplication::palette().color(QPalette::ButtonText);
    for (int i = 0; i < 2; ++i) {
        QPalette pal = m_optP[i]->palette();
        const QColor color = i == index ? ui::colorFromCode(QStringLiteral("#0000FF")) : buttonText;
        pal.setColor(QPalette::WindowText, color);
        pal.setColor(QPalette::ButtonText, color);
        m_optP[i]->setPalette(pal);
    }
    showChangedName();
    writeText();
    focusOffscreen();
}

void MainWindow::chkPos_Click()
{
    m_state.settings.alwaysOnTop = m_chkPos->isChecked() ? 1 : 0;
    ui::setTopmost(this, m_chkPos->isChecked());
    keepChoices();
    focusOffscreen();
}

void MainWindow::writeText()
{
    m_rTxt->drawSample(m_sampleText, m_state.settings, m_state.palette);
    if (m_state.settings.changeType == 0)
        focusOffscreen();
}

// Labels ----------------------------------------------------------------------------------

void MainWindow::setExampleName(const QString &name)
{
    m_exampleName = name;
    m_lblChange->setText(QString());
    showChangedName();
}

void MainWindow::showChangedName()
{
    if (m_exampleName.isEmpty())
        return;
    m_lblChange->setText(m_exampleName + outputExtension(m_state.settings.changeType));
}

void MainWindow::showCount()
{
    m_lblCnt->setText(QString::number(m_state.selection.selectedCount()));
}

void MainWindow::showNothingSelected()
{
    m_lblCnt->setText(QStringLiteral("0"));
    setExampleName(QString());
    setStatusText(runtext::Cleared);
}
