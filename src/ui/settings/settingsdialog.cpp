#include "settingsdialog.h"

#include "coloreditor.h"
#include "dialogsupport.h"
#include "engine/appstate.h"
#include "settings/palette.h"
#include "settings/settings.h"
#include "ui/uiutil.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using settingsui::fixedFont;
// Geometry in twips.
constexpr auto place = ui::placeTwips;

namespace {

template<class W>
W *make(QWidget *parent, const char *name, const QString &text, const QString &tip)
{
    auto *w = new W(text, parent);
    w->setObjectName(QString::fromLatin1(name));
    if (!tip.isEmpty())
        w->setToolTip(tip);
    return w;
}

QLineEdit *makeBox(QWidget *parent, const char *name, const QString &text, const QString &tip)
{
    auto *box = make<QLineEdit>(parent, name, text, tip);
    box->setFont(fixedFont());
    return box;
}

int checkValue(const QCheckBox *box)
{
    return box->isChecked() ? 1 : 0;
}

// Gaining or losing the focus because another window became active is not leaving the box.
bool windowSwitch(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

SettingsDialog::SettingsDialog(AppState &state, ui::MessageFunction showMessage,
                               std::function<void()> onSaved, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , m_showMessage(std::move(showMessage))
    , m_onSaved(std::move(onSaved))
{
    setObjectName(QStringLiteral("frmSet"));
    setWindowTitle(QStringLiteral("設定画面っていう程のモンじゃないけど"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(ui::twips(6345), ui::twips(8880));
    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ui::colorFromCode(ui::WindowGrey));
    pal.setColor(QPalette::Button, ui::colorFromCode(ui::WindowGrey));
    setPalette(pal);
    setAutoFillBackground(true);

    // Made in the order of the form from top to bottom, which is the order of Tab.
    buildScriptOptions();
    Frame1 = new ColorEditor(m_showMessage, this);
    place(Frame1, 120, 1260, 6105, 3630);
    buildOptions();

    const QCursor pointer = settingsui::pointerCursor();
    for (QAbstractButton *b : findChildren<QAbstractButton *>())
        b->setCursor(pointer);
    ui::pressButtonsOnReturn(this);

    QList<QLineEdit *> boxes = Frame1->numberBoxes();
    boxes << txtHead << txtFile;
    for (QLineEdit *box : std::as_const(boxes))
        box->installEventFilter(this);

    load();
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::buildScriptOptions()
{
    Frame5 = new QGroupBox(QStringLiteral("JAVA SCRIPT"), this);
    Frame5->setObjectName(QStringLiteral("Frame5"));
    Frame5->setToolTip(QStringLiteral("JavaScriptを使用して、一度作ったHTMLファイル上で見栄えを"
                                      "変更できるようにします。"));
    place(Frame5, 120, 60, 6105, 1140);
    chkFontBold = make<QCheckBox>(Frame5, "chkFontBold",
                                  QStringLiteral("発言の文字の太さを変更出来るようにする"),
                                  QStringLiteral("文字の太さを変更出来るようにする"));
    chkForeColor
        = make<QCheckBox>(Frame5, "chkForeColor", QStringLiteral("文字色を変更出来るようにする"),
                          QStringLiteral("文字色を選択して変更出来るようにする"));
    chkBgColor
        = make<QCheckBox>(Frame5, "chkBgColor", QStringLiteral("背景色を変更出来るようにする"),
                          QStringLiteral("クリック一発で背景色を変更出来るようにする"));
    place(chkFontBold, 180, 270, 5700, 270);
    place(chkForeColor, 180, 555, 5700, 270);
    place(chkBgColor, 180, 840, 5700, 270);
}

void SettingsDialog::buildOptions()
{
    Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    place(Frame2, 120, 4980, 6105, 1560);
    optHead[1] = make<QRadioButton>(Frame2, "optHead_1",
                                    QStringLiteral("偽メッセンジャ使用－発言のヘッダ："),
                                    QStringLiteral("偽メッセンジャ使用時の発言のヘッダ"));
    txtHead = makeBox(Frame2, "txtHead", QStringLiteral("の発言："),
                      QStringLiteral("あなたのログの発言のヘッダ"));
    optHead[0] = make<QRadioButton>(Frame2, "optHead_0",
                                    QStringLiteral("MSNメッセンジャ/Windowsメッセンジャ使用"),
                                    QStringLiteral("MSNメッセンジャ使用 ( Windows XP以外のOS )"));
    Label1
        = make<QLabel>(Frame2, "Label1", QStringLiteral("変換したファイル名の先頭につける文字："),
                       QStringLiteral("変換したファイル名の先頭につける文字"));
    txtFile = makeBox(Frame2, "txtFile", QStringLiteral("_"), QString());
    place(optHead[1], 180, 240, 3360, 300);
    place(txtHead, 3600, 225, 2340, 330);
    place(optHead[0], 180, 660, 5700, 300);
    place(Label1, 180, 1110, 3600, 270);
    place(txtFile, 3780, 1065, 900, 330);
    for (int i = 0; i < 2; ++i)
        connect(optHead[i], &QRadioButton::clicked, this, [this, i] { optHead_Click(i); });

    Frame4 = new QGroupBox(this);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    place(Frame4, 120, 6630, 6105, 900);
    chlNameColor
        = make<QCheckBox>(Frame4, "chlNameColor", QStringLiteral("発言者の名前も色を変える"),
                          QStringLiteral("多分ちょっとくらいは変わります"));
    chkB = make<QCheckBox>(Frame4, "chkB", QStringLiteral("発言を太字にする（全員変わります）"),
                           QStringLiteral("特定の人だけってのではありません"));
    place(chlNameColor, 180, 210, 5700, 270);
    place(chkB, 180, 510, 5700, 270);
    connect(chkB, &QCheckBox::clicked, this, &SettingsDialog::chkB_Click);

    Frame3 = new QGroupBox(this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    place(Frame3, 120, 7620, 6105, 540);
    chkSpeed = make<QCheckBox>(Frame3, "chkSpeed",
                               QStringLiteral("実行速度を少しだけ高速化 （実行時に画面を隠す）"),
                               QStringLiteral("多分ちょっとくらいは変わります"));
    place(chkSpeed, 180, 150, 5700, 270);
    connect(chkSpeed, &QCheckBox::clicked, this, &SettingsDialog::chkSpeed_Click);

    cmdOk = make<QPushButton>(this, "cmdOk", QStringLiteral("設　定"), QStringLiteral("設定っ"));
    cmdCancel = make<QPushButton>(this, "cmdCancel", QStringLiteral("やっぱ中止"),
                                  QStringLiteral("きゃんせる"));
    place(cmdOk, 1320, 8280, 1800, 480);
    place(cmdCancel, 3240, 8280, 1800, 480);
    cmdOk->setDefault(true);
    connect(cmdOk, &QPushButton::clicked, this, &SettingsDialog::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &SettingsDialog::reject);

    // Never seen: it takes the focus so that no visible control keeps a focus mark.
    Text1 = make<QLineEdit>(this, "Text1", QStringLiteral("Text1"), QString());
    place(Text1, 10000, 8280, 1000, 300);
    Text1->setFocusPolicy(Qt::ClickFocus); // no Tab stop: Tab goes from control to control
}

void SettingsDialog::load()
{
    const Settings &s = m_state.settings;
    ui::setTopmost(this, true);

    headerChoice = s.headerMode == QLatin1String("0") ? 0 : 1;
    optHead[headerChoice]->setChecked(true);
    showHeaderChoice(headerChoice);

    txtHead->setText(s.customHeader);
    txtFile->setText(s.addStr);
    chkSpeed->setChecked(s.speedUp != 0);
    chkB->setChecked(s.boldMessages != 0);
    chlNameColor->setChecked(s.colorNameToo != 0);

    Frame1->load(s.bodyColor, s.narColor, m_state.palette);

    chkBgColor->setChecked(s.jsBgColor == JsWanted);
    chkForeColor->setChecked(s.jsForeColor == JsWanted);
    chkFontBold->setChecked(s.jsFontBold == JsWanted);
    Frame1->setBoldUtterances(chkB->isChecked());
}

void SettingsDialog::cmdOk_Click()
{
    // Enter reaches OK without leaving the box, so the two refusals of leaving a box apply
    // here too: an empty header would mark every line, an empty prefix would make the output
    // name equal to the log's own name.
    if ((headerChoice != 0 && holdEmptyBox(txtHead)) || holdEmptyBox(txtFile))
        return;

    Settings &s = m_state.settings;
    s.headerMode = QString::number(headerChoice);
    if (headerChoice != 0) {
        s.headerText = txtHead->text();
        s.customHeader = s.headerText;
    } else {
        s.headerText = StandardHeaderText;
    }
    s.addStr = txtFile->text();
    s.speedUp = checkValue(chkSpeed);
    s.boldMessages = checkValue(chkB);
    s.colorNameToo = checkValue(chlNameColor);
    s.jsBgColor = chkBgColor->isChecked() ? JsWanted : JsNotWanted;
    s.jsForeColor = chkForeColor->isChecked() ? JsWanted : JsNotWanted;
    s.jsFontBold = chkFontBold->isChecked() ? JsWanted : JsNotWanted;
    s.bodyColor = Frame1->bodyColor();
    s.narColor = Frame1->narColor();
    m_state.palette = Frame1->palette();
    s.colorCount = int(m_state.palette.size());

    if (!saveSettings(s, m_state.palette))
        m_showMessage(this, QMessageBox::Critical,
                      ui::settingsNotWrittenText(s.iniPath, ui::SettingsInForceNotSaved),
                      ui::SettingsNotWrittenTitle);
    if (m_onSaved)
        m_onSaved();
    accept();
}

void SettingsDialog::done(int result)
{
    Frame1->closeChart();
    QDialog::done(result);
}

void SettingsDialog::optHead_Click(int index)
{
    showHeaderChoice(index);
    if (index == 1) {
        txtHead->selectAll();
        txtHead->setFocus(Qt::OtherFocusReason);
    }
    headerChoice = index;
}

// The header box is editable on white for the custom header, greyed for the standard one.
void SettingsDialog::showHeaderChoice(int index)
{
    const bool custom = index == 1;
    txtHead->setEnabled(custom);
    QPalette pal = txtHead->palette();
    const QColor base = custom ? QColor(255, 255, 255) : ui::colorFromCode(ui::WindowGrey);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setColor(group, QPalette::Base, base);
    txtHead->setPalette(pal);
}

// Leaving an empty box for Cancel is let through: refusing it would take the focus back from
// the button and make the click impossible. So is a click on the standard header, which drops
// the header's text anyway; Tab only passes over that option and is refused like any move.
bool SettingsDialog::leavingForCancel() const
{
    return !isVisible() || focusWidget() == cmdCancel;
}

void SettingsDialog::txtHead_LostFocus(Qt::FocusReason reason)
{
    const bool toStandard = reason == Qt::MouseFocusReason && focusWidget() == optHead[0];
    if (!leavingForCancel() && !toStandard && txtHead->isEnabled())
        holdEmptyBox(txtHead);
}

void SettingsDialog::txtFile_LostFocus()
{
    if (!leavingForCancel())
        holdEmptyBox(txtFile);
}

// An empty header is refused with a message, an empty prefix silently, a prefix that would make
// the output's name a path with a message; either way the box keeps the focus with its text
// selected.
bool SettingsDialog::holdEmptyBox(QLineEdit *box)
{
    const bool pathPrefix = box == txtFile && !isOutputPrefix(box->text());
    if (!box->text().isEmpty() && !pathPrefix)
        return false;
    if (box == txtHead)
        m_showMessage(this, QMessageBox::Critical,
                      QStringLiteral("それじゃ発言者が区別できないっすよ"),
                      QStringLiteral("なんかあるでしょ"));
    if (pathPrefix)
        m_showMessage(this, QMessageBox::Critical,
                      QStringLiteral("ファイル名の先頭につける文字に「/」「\\」は使えません。"
                                     "「.」「..」だけにもできません。"),
                      QStringLiteral("なんかあるでしょ"));
    box->selectAll();
    box->setFocus(Qt::OtherFocusReason);
    return true;
}

void SettingsDialog::chkB_Click()
{
    Frame1->setBoldUtterances(chkB->isChecked());
    Text1->setFocus(Qt::OtherFocusReason);
}

void SettingsDialog::chkSpeed_Click()
{
    Text1->setFocus(Qt::OtherFocusReason);
}

bool SettingsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (auto *box = qobject_cast<QLineEdit *>(watched))
        textBoxEvent(box, event);
    return QDialog::eventFilter(watched, event);
}

// The select-all on click of the header, prefix and number boxes, and the checks on leaving
// the header and the prefix.
void SettingsDialog::textBoxEvent(QLineEdit *box, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        if (!windowSwitch(static_cast<QFocusEvent *>(event)->reason()))
            selectAllPending = true;
        break;
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // The checks may show a message box: run them once the click that moved the focus
        // has been handled.
        if (box == txtHead && !windowSwitch(reason))
            QTimer::singleShot(0, this, [this, reason] { txtHead_LostFocus(reason); });
        else if (box == txtFile && !windowSwitch(reason))
            QTimer::singleShot(0, this, &SettingsDialog::txtFile_LostFocus);
        break;
    }
    case QEvent::MouseButtonRelease:
        // Selected after the box has handled the release itself, which may place the caret.
        if (selectAllPending) {
            selectAllPending = false;
            QTimer::singleShot(0, box, [box] { box->setSelection(0, int(box->text().size())); });
        }
        break;
    default:
        break;
    }
}
