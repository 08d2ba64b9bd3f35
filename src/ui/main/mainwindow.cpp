#include "mainwindow.h"

#include "encodingmenu.h"
#include "engine/appstate.h"
#include "engine/read/formats/formats.h"
#include "mainwindowhost.h"
#include "previewbox.h"
#include "settings/pagestyles.h"
#include "timezonemenu.h"
#include "ui/settings/opensettings.h"
#include "ui/uiutil.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QUrl>

namespace {

const QString LightGreen = QStringLiteral("#C0FFC0");

// The client area below the menu bar, status bar included.
constexpr int ClientWidthTwips = 6345;
constexpr int ClientHeightTwips = 4200;
constexpr int ProgressPanelTwips = 1760;

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(ui::twips(left), ui::twips(top), ui::twips(width), ui::twips(height));
}

void setColors(QWidget *w, const QString &background, const QString &text = QString())
{
    QPalette pal = w->palette();
    if (!background.isEmpty()) {
        pal.setColor(QPalette::Window, ui::colorFromCode(background));
        pal.setColor(QPalette::Button, ui::colorFromCode(background));
        w->setAutoFillBackground(true);
    }
    if (!text.isEmpty()) {
        pal.setColor(QPalette::WindowText, ui::colorFromCode(text));
        pal.setColor(QPalette::ButtonText, ui::colorFromCode(text));
        pal.setColor(QPalette::Text, ui::colorFromCode(text));
    }
    w->setPalette(pal);
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, int left, int top)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(ui::twips(left), ui::twips(top));
    label->adjustSize();
    return label;
}

QStringList chooseLogFiles(QWidget *parent, const QString &dir)
{
    // Lower-case patterns too: file names are case-sensitive here.
    return QFileDialog::getOpenFileNames(parent, QString(), dir, formats::dialogFilter());
}

} // namespace

MainWindow::MainWindow(AppState &state, ui::MessageFunction showMessage, QWidget *parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_showMessage(std::move(showMessage))
    , m_fileDialog(chooseLogFiles)
    , m_host(std::make_unique<Host>(*this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("｜･ω･`*)っ且~　Pelorin"));
    // The substitute of the proportional Windows face sets kana full width; a quarter point
    // less keeps every caption inside the control sizes the layout gives.
    QFont face(QStringLiteral("ＭＳ Ｐゴシック"));
    face.setPointSizeF(8.25);
    setFont(face);
    setColors(this, ui::WindowGrey);
    buildControls();
    buildMenus();
    const int menuHeight = menuBar()->sizeHint().height();
    setFixedSize(ui::twips(ClientWidthTwips), menuHeight + ui::twips(ClientHeightTwips));
    ui::pressButtonsOnReturn(this);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    // The etched line under the menu bar.
    auto *etched = new QFrame(client);
    etched->setFrameShape(QFrame::HLine);
    etched->setFrameShadow(QFrame::Sunken);
    etched->setGeometry(0, 0, ui::twips(ClientWidthTwips), 2);

    makeLabel(client, "Label3", QStringLiteral("変換ファイル数："), 870, 135);
    m_lblCnt = new QLabel(QStringLiteral("0"), client);
    m_lblCnt->setObjectName(QStringLiteral("lblCnt"));
    m_lblCnt->setGeometry(twipsRect(2520, 90, 780, 315));
    m_lblCnt->setToolTip(QStringLiteral("変換するファイルの数だよー"));
    setColors(m_lblCnt, QStringLiteral("#FFFFFF"), QStringLiteral("#FF0000"));

    auto *fileView = new QPushButton(QStringLiteral("選択ファイル表示"), client);
    fileView->setObjectName(QStringLiteral("cmdFileView"));
    fileView->setGeometry(twipsRect(3300, 60, 1575, 405));
    fileView->setToolTip(QStringLiteral("選択済みのファイルを表示します"));
    setColors(fileView, LightGreen);
    connect(fileView, &QPushButton::clicked, this, &MainWindow::cmdFileView_Click);

    m_chkPos = new QCheckBox(QStringLiteral("常に手前に表示"), client);
    m_chkPos->setObjectName(QStringLiteral("chkPos"));
    m_chkPos->setGeometry(twipsRect(4875, 60, 1455, 405));
    m_chkPos->setToolTip(QStringLiteral("常に手前に表示"));
    setColors(m_chkPos, LightGreen);
    connect(m_chkPos, &QCheckBox::toggled, this, &MainWindow::chkPos_Click);

    makeLabel(client, "Label1", QStringLiteral("変換後ファイル名（例）："), 180, 540);
    m_lblChange = new QLabel(client);
    m_lblChange->setObjectName(QStringLiteral("lblChange"));
    m_lblChange->setGeometry(twipsRect(2520, 525, 3705, 240));
    m_lblChange->setToolTip(QStringLiteral("自動的にこのファイル名で保存しちゃいます"));
    setColors(m_lblChange, QStringLiteral("#FFFFFF"));

    auto *frame = new QGroupBox(QStringLiteral("変換するタイプね"), client);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(twipsRect(120, 960, 6135, 735));
    setColors(frame, QString(), QStringLiteral("#0000FF"));
    const QString captions[2] = {QStringLiteral("ちょと引っ込めるだけテキスト形式"),
                                 QStringLiteral("色なんて付けちゃったりHTML形式")};
    const QString tips[2]
        = {QStringLiteral("発言を引っ込めちゃう"), QStringLiteral("ほうむぺえじみたいになるじょ")};
    const QRect places[2] = {twipsRect(60, 270, 3000, 360), twipsRect(3090, 270, 3000, 360)};
    for (int i = 0; i < 2; ++i) {
        m_optP[i] = new QRadioButton(captions[i], frame);
        m_optP[i]->setObjectName(QStringLiteral("optP") + QString::number(i));
        m_optP[i]->setProperty("index", i);
        m_optP[i]->setToolTip(tips[i]);
        m_optP[i]->setGeometry(places[i]);
        connect(m_optP[i], &QRadioButton::clicked, this, [this, i] {
            optP_Click(i);
            keepChoices();
        });
    }

    m_rTxt = new PreviewBox(client);
    m_rTxt->setGeometry(twipsRect(120, 1740, 6135, 1935));
    connect(m_rTxt, &PreviewBox::filesDropped, this, &MainWindow::rTxt_Drop);

    // Takes the keyboard focus after commands, so no visible control shows a focus mark.
    m_text1 = new QLineEdit(client);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setFocusPolicy(Qt::ClickFocus); // no Tab stop: Tab goes from control to control
    m_text1->setGeometry(10000, 0, 60, 20);

    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("SBar"));
    bar->setSizeGripEnabled(false);
    m_panel1 = new QLabel(bar);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    // A long report is cut at the panel's edge (its tooltip has all of it) rather than
    // pushing the progress panel out of the fixed-size window.
    m_panel1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(m_panel1, 1);
    m_progressPanel = new QWidget(bar);
    m_progressPanel->setObjectName(QStringLiteral("Progress"));
    m_progressPanel->setFixedWidth(ui::twips(ProgressPanelTwips));
    bar->addPermanentWidget(m_progressPanel);
    m_pBar = new QProgressBar(m_progressPanel);
    m_pBar->setObjectName(QStringLiteral("PBar"));
    m_pBar->setTextVisible(false);
    m_pBar->hide();
    m_lnkOutput = new QLabel(m_progressPanel);
    m_lnkOutput->setObjectName(QStringLiteral("lnkOutput"));
    m_lnkOutput->setTextFormat(Qt::RichText);
    m_lnkOutput->setAlignment(Qt::AlignCenter);
    m_lnkOutput->hide();
    connect(m_lnkOutput, &QLabel::linkActivated, this, &MainWindow::openOutputFolder);
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto item = [this](QWidget *menu, const char *name, const QString &text,
                       void (MainWindow::*handler)()) {
        auto *action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        menu->addAction(action);
        connect(action, &QAction::triggered, this, handler);
        m_commands.append(action);
        return action;
    };
    auto submenu = [](QWidget *parent, const char *name, const QString &title) {
        auto *menu = new QMenu(title, parent);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };

    item(bar, "mnuFileOpen", QStringLiteral("ファイルを選択(&O)"), &MainWindow::mnuFileOpen_Click);
    item(bar, "mnuRun", QStringLiteral("実行っ(&R)"), &MainWindow::mnuRun_Click);

    QMenu *settings = submenu(bar, "mnuSettings", QStringLiteral("設定(&S)"));
    bar->addMenu(settings);
    item(settings, "mnuSetting", QStringLiteral("設定(&S)"), &MainWindow::mnuSetting_Click);
    settings->addSeparator();
    QMenu *rules = submenu(settings, "mnuRule", QStringLiteral("メッセージルール(&M)"));
    settings->addMenu(rules);
    item(rules, "mnuRuleSet", QStringLiteral("ルール設定"), &MainWindow::mnuRuleSet_Click);
    rules->addSeparator();
    m_mnuRuleEna
        = item(rules, "mnuRuleEna", QStringLiteral("有効にする"), &MainWindow::mnuRuleEna_Click);
    m_mnuRuleEna->setCheckable(true);
    buildPageMenu(settings);
    m_mnuEncoding = new EncodingMenu(m_state.settings, settings);
    settings->addMenu(m_mnuEncoding);
    connect(m_mnuEncoding, &EncodingMenu::chosen, this, &MainWindow::keepChoices);
    m_mnuTimeZone = new TimeZoneMenu(m_state.settings, settings);
    settings->addMenu(m_mnuTimeZone);
    connect(m_mnuTimeZone, &TimeZoneMenu::chosen, this, &MainWindow::keepChoices);
    // A run of its own, kept off the menu bar, which has no room left.
    settings->addSeparator();
    item(settings, "mnuMerge", QStringLiteral("選んだログを一つのチャットにまとめる(&J)"),
         &MainWindow::mnuMerge_Click);

    QMenu *help = submenu(bar, "mnuHelps", QStringLiteral("ヘルプ(&H)"));
    bar->addMenu(help);
    item(help, "mnuHelp", QStringLiteral("簡単な説明"), &MainWindow::mnuHelp_Click);
    help->addSeparator();
    item(help, "mnuHelp2", QStringLiteral("バージョン情報"), &MainWindow::mnuHelp2_Click);
    item(bar, "mnuClose", QStringLiteral("やめてみる(&Q)"), &MainWindow::mnuClose_Click);

    // The hidden twins that carry the keyboard shortcuts.
    addShortcut("mnuFileOpen__", QStringLiteral("開く"), QKeySequence(Qt::CTRL | Qt::Key_O),
                &MainWindow::mnuFileOpen_Click);
    addShortcut("mnuRun__", QStringLiteral("やる"), QKeySequence(Qt::CTRL | Qt::Key_R),
                &MainWindow::mnuRun_Click);
    addShortcut("mnuClose__", QStringLiteral("やめる"), QKeySequence(Qt::CTRL | Qt::Key_Q),
                &MainWindow::mnuClose_Click);
    addShortcut("mnuHelp__", QStringLiteral("へるぷ"), QKeySequence(Qt::CTRL | Qt::Key_H),
                &MainWindow::mnuHelp_Click);
}

// The page style (a radio group) and the index page, below the message rules.
void MainWindow::buildPageMenu(QMenu *settings)
{
    settings->addSeparator();
    auto *page = new QMenu(QStringLiteral("ページの形(&P)"), settings);
    page->setObjectName(QStringLiteral("mnuPage"));
    settings->addMenu(page);
    auto *group = new QActionGroup(page);
    const auto choice = [&](const QString &name, const QString &text) {
        auto *action = new QAction(text, group);
        action->setObjectName(name);
        action->setCheckable(true);
        page->addAction(action);
        connect(action, &QAction::triggered, this, &MainWindow::mnuPage_Click);
        m_commands.append(action);
        return action;
    };
    // One item a style, "mnuPageClassic" for "classic".
    for (const PageStyleName &name : PageStyles) {
        const QString word = QString::fromLatin1(name.word);
        m_mnuPageStyles.append(
            choice(QStringLiteral("mnuPage") + word.left(1).toUpper() + word.mid(1),
                   QString::fromUtf8(name.caption)));
    }
    m_mnuPageStyles.first()->setChecked(true);

    m_mnuIndex = new QAction(QStringLiteral("一覧ページも作る(&I)"), this);
    m_mnuIndex->setObjectName(QStringLiteral("mnuIndex"));
    m_mnuIndex->setCheckable(true);
    settings->addAction(m_mnuIndex);
    connect(m_mnuIndex, &QAction::triggered, this, &MainWindow::mnuIndex_Click);
    m_commands.append(m_mnuIndex);

    m_mnuRedact = new QAction(QStringLiteral("人名や電話番号を伏せ字にする(&F)"), this);
    m_mnuRedact->setObjectName(QStringLiteral("mnuRedact"));
    m_mnuRedact->setCheckable(true);
    settings->addAction(m_mnuRedact);
    connect(m_mnuRedact, &QAction::triggered, this, &MainWindow::mnuRedact_Click);
    m_commands.append(m_mnuRedact);

    m_mnuProvenance
        = new QAction(QStringLiteral("クラシックのページとテキストにも出典を記す(&V)"), this);
    m_mnuProvenance->setObjectName(QStringLiteral("mnuProvenance"));
    m_mnuProvenance->setCheckable(true);
    settings->addAction(m_mnuProvenance);
    connect(m_mnuProvenance, &QAction::triggered, this, &MainWindow::mnuProvenance_Click);
    m_commands.append(m_mnuProvenance);
}

QAction *MainWindow::addShortcut(const char *name, const QString &text, const QKeySequence &key,
                                 void (MainWindow::*handler)())
{
    auto *action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    connect(action, &QAction::triggered, this, handler);
    m_commands.append(action);
    return action;
}

QString MainWindow::statusText() const
{
    return m_panel1->text();
}

void MainWindow::blockInput()
{
    ++m_inputBlocks;
    // The window's content, not the window itself: dialogs opened over it (the speaker
    // colours during a run, the rule list) must stay usable.
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
    for (QAction *action : std::as_const(m_commands))
        action->setEnabled(false);
}

void MainWindow::unblockInput()
{
    if (m_inputBlocks == 0 || --m_inputBlocks > 0)
        return;
    centralWidget()->setEnabled(true);
    menuBar()->setEnabled(true);
    for (QAction *action : std::as_const(m_commands))
        action->setEnabled(true);
}

void MainWindow::setStatusText(const QString &text)
{
    m_panel1->setText(text);
    m_panel1->setToolTip(QString());
    m_lnkOutput->hide();
}

void MainWindow::showRunReport(const QString &summary, const QString &outputFolder)
{
    if (summary.isEmpty()) {
        m_lnkOutput->hide();
        return;
    }
    setStatusText(summary);
    m_panel1->setToolTip(summary); // a failure's reason may be longer than the panel
    if (outputFolder.isEmpty())
        return;
    m_lnkOutput->setText(
        QStringLiteral("<a href=\"%1\">出力フォルダを開く</a>")
            .arg(QUrl::fromLocalFile(outputFolder).toString(QUrl::FullyEncoded).toHtmlEscaped()));
    m_lnkOutput->setToolTip(outputFolder);
    m_lnkOutput->setGeometry(m_progressPanel->rect());
    m_lnkOutput->show();
}

void MainWindow::openOutputFolder(const QString &link)
{
    QDesktopServices::openUrl(QUrl(link));
}

void MainWindow::focusOffscreen()
{
    m_text1->setFocus(Qt::OtherFocusReason);
}

void MainWindow::openSettingsDialog()
{
    if (m_settingsDialog) {
        m_settingsDialog->show();
        m_settingsDialog->raise();
        m_settingsDialog->activateWindow();
        return;
    }
    m_settingsDialog = createSettingsDialog(
        m_state, m_showMessage, [this] { writeText(); }, this);
    if (m_settingsDialog)
        m_settingsDialog->show();
}

void MainWindow::beginProgressDisplay()
{
    m_pBar->setGeometry(m_progressPanel->rect());
    m_pBar->raise();
    m_pBar->show();
    if (!m_progressShown) {
        m_progressShown = true;
        blockInput();
    }
}

void MainWindow::endProgressDisplay()
{
    m_pBar->hide();
    if (m_progressShown) {
        m_progressShown = false;
        unblockInput();
    }
}
