#include "rulelistdialog.h"

#include "engine/appstate.h"
#include "ruleeditordialog.h"
#include "rulegrid.h"
#include "ui/uiutil.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString LightYellow = QStringLiteral("#FFFFE0");

QFont uiFont(qreal points, bool bold = false)
{
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

RuleListDialog::RuleListDialog(AppState &state, ui::MessageFunction showMessage, QWidget *owner)
    : QDialog(nullptr)
    , m_state(state)
    , m_showMessage(std::move(showMessage))
{
    setObjectName(QStringLiteral("frmRule"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("簡易メッセージルール（ほんと簡易）"));
    setFixedSize(ui::twips(9915), ui::twips(7170));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ui::colorFromCode(ui::WindowGrey));
    setPalette(pal);
    setAutoFillBackground(true);

    buildControls();
    ui::setTopmost(this, true);
    ui::pressButtonsOnReturn(this);
    ruleui::attachToOwner(this, owner);
    if (owner)
        connect(owner, &QObject::destroyed, this, [this] {
            if (m_editor)
                m_editor->close();
            deleteLater();
        });
    loadRuleList();
}

RuleListDialog::~RuleListDialog()
{
    m_editorOpen = false; // the list goes: nothing to carry on with
    delete m_editor.data();
}

void RuleListDialog::buildControls()
{
    const QCursor hand = ruleui::pointingHandCursor();

    // The key catcher lies behind the grid, so the user never sees it.
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    ui::placeTwips(Text1, 240, 5160, 675, 375);
    Text1->installEventFilter(this);
    Text1->setFocusPolicy(Qt::ClickFocus); // no Tab stop: Tab goes from control to control

    Label1 = new QLabel(QStringLiteral("☆現在登録されているであろうメッセージルール☆"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(uiFont(14.25, true));
    QPalette headingPalette = Label1->palette();
    headingPalette.setColor(QPalette::WindowText, QColor(0x80, 0x40, 0x00));
    Label1->setPalette(headingPalette);
    ui::placeTwips(Label1, 120, 300, 6330, 285);
    ruleui::fitTextToWidth(Label1);

    auto button = [&](const char *name, const QString &text, const QString &background,
                      QWidget *parent, QFont font) {
        auto *b = new QPushButton(text, parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setFont(font);
        b->setCursor(hand);
        ruleui::setButtonBackground(b, background);
        return b;
    };
    cmdAdd
        = button("cmdAdd", QStringLiteral("新規追加"), QStringLiteral("#C0FFC0"), this, uiFont(12));
    ui::placeTwips(cmdAdd, 6840, 180, 1395, 435);
    cmdDel
        = button("cmdDel", QStringLiteral("削除(&D)"), QStringLiteral("#FFC0C0"), this, uiFont(12));
    ui::placeTwips(cmdDel, 8400, 180, 1395, 435);
    cmdDel->setEnabled(false);

    fgName = new RuleGrid(this);
    ui::placeTwips(fgName, 120, 720, 9675, RuleGrid::HeightTwips);

    Frame2 = new QGroupBox(QStringLiteral("優先No変更"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    ui::placeTwips(Frame2, 180, 6120, 1575, 975);
    const char *arrows[] = {"▲", "▼"};
    const char *tips[] = {"優先順位を上にあげます", "優先順位を下にさげます"};
    for (int i = 0; i < 2; ++i) {
        cmdChange[i] = button(i == 0 ? "cmdChange_0" : "cmdChange_1", QString::fromUtf8(arrows[i]),
                              ui::WindowGrey, Frame2, uiFont(20.25, true));
        cmdChange[i]->setToolTip(QString::fromUtf8(tips[i]));
        ui::placeTwips(cmdChange[i], i == 0 ? 120 : 780, 360, 675, 435);
        cmdChange[i]->setEnabled(false);
        connect(cmdChange[i], &QPushButton::clicked, this, [this, i] { cmdChange_Click(i); });
    }

    Label2 = new QLabel(QStringLiteral("ダブルクリックで編集できます。"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(uiFont(11.25));
    QPalette notePalette = Label2->palette();
    notePalette.setColor(QPalette::Window, Qt::white);
    Label2->setPalette(notePalette);
    Label2->setAutoFillBackground(true);
    ui::placeTwips(Label2, 2160, 6480, 3225, 285);
    ruleui::fitTextToWidth(Label2);

    cmdOk = button("cmdOk", QStringLiteral("設　定"), ui::WindowGrey, this, uiFont(12));
    cmdOk->setToolTip(QStringLiteral("設定っ"));
    ui::placeTwips(cmdOk, 6840, 6480, 1395, 435);
    cmdOk->setDefault(true);
    cmdCancel = button("cmdCancel", QStringLiteral("やっぱ中止"), ui::WindowGrey, this, uiFont(12));
    cmdCancel->setToolTip(QStringLiteral("きゃんせる"));
    ui::placeTwips(cmdCancel, 8400, 6480, 1395, 435);

    connect(cmdAdd, &QPushButton::clicked, this, &RuleListDialog::cmdAdd_Click);
    connect(cmdDel, &QPushButton::clicked, this, &RuleListDialog::cmdDel_Click);
    connect(cmdOk, &QPushButton::clicked, this, &RuleListDialog::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &RuleListDialog::close);
    connect(fgName, &RuleGrid::rowPressed, this, &RuleListDialog::selectRow);
    connect(fgName, &RuleGrid::doubleClicked, this, &RuleListDialog::fgName_DblClick);
}

void RuleListDialog::loadRuleList()
{
    const LoadedRules loaded = loadRules(m_state.settings.iniPath);
    m_rules = loaded.rules;
    m_loadedRuleCount = loaded.loadedRuleCount;
    // Count promised rules but not even the first could be read: no placeholder row.
    m_headerOnly = loaded.storedCount > 0 && loaded.rules.isEmpty();
    fgName->showRules(m_rules, m_state.palette, m_headerOnly, -1);
    m_pageRows = fgName->visibleRowCount();
    m_selRow = -1;
    if (fgName->isNoRuleState())
        selectRow(1);
}

RuleEditorDialog *RuleListDialog::editor() const
{
    return m_editor.data();
}

void RuleListDialog::selectRow(int row)
{
    updateButtons(row);
    if (row != m_selRow) {
        if (m_selRow != -1)
            fgName->setRowSelectedLook(m_selRow, false);
        fgName->setRowSelectedLook(row, true);
    }
    m_selRow = row;
    if (m_pageRows < fgName->gridRows()) {
        if (row < m_pageRows)
            fgName->setFirstVisibleRow(1);
        else if (row < 2 * m_pageRows)
            fgName->setFirstVisibleRow(m_pageRows - 1);
        else if (row < 3 * m_pageRows)
            fgName->setFirstVisibleRow(2 * m_pageRows - 1);
    }
    focusKeyCatcher();
}

void RuleListDialog::updateButtons(int row)
{
    cmdDel->setEnabled(true);
    if (fgName->isNoRuleState()) {
        cmdDel->setEnabled(false);
        return;
    }
    const bool canUp = row != 0 && fgName->gridRows() != 2 && row != 1;
    const bool canDown = row != 0 && fgName->gridRows() != 2 && row != fgName->gridRows() - 1;
    cmdChange[0]->setEnabled(canUp);
    cmdChange[1]->setEnabled(canDown);
    ruleui::setButtonBackground(cmdChange[0], canUp ? LightYellow : ui::WindowGrey);
    ruleui::setButtonBackground(cmdChange[1], canDown ? LightYellow : ui::WindowGrey);
}

void RuleListDialog::disableRowButtons()
{
    cmdDel->setEnabled(false);
    for (QPushButton *b : cmdChange) {
        b->setEnabled(false);
        ruleui::setButtonBackground(b, ui::WindowGrey);
    }
}

void RuleListDialog::clearSelection()
{
    if (fgName->cellText(m_selRow, 1).isEmpty())
        return;
    fgName->setRowSelectedLook(m_selRow, false);
    m_selRow = -1;
    disableRowButtons();
}

void RuleListDialog::focusKeyCatcher()
{
    Text1->setFocus();
}

bool RuleListDialog::keyPressed(int key)
{
    if (m_selRow < 1)
        return false;
    switch (key) {
    case Qt::Key_Up:
        if (m_selRow > 1) {
            fgName->setCurrentCell(m_selRow - 2, 0);
            selectRow(m_selRow - 1);
        }
        return true;
    case Qt::Key_Down:
        if (m_selRow < fgName->gridRows() - 1) {
            fgName->setCurrentCell(m_selRow, 0);
            selectRow(m_selRow + 1);
        }
        return true;
    case Qt::Key_Delete:
        if (cmdDel->isEnabled())
            cmdDel_Click();
        return true;
    default:
        return false;
    }
}

bool RuleListDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1 && event->type() == QEvent::KeyPress)
        return keyPressed(static_cast<QKeyEvent *>(event)->key());
    return QDialog::eventFilter(watched, event);
}

void RuleListDialog::cmdChange_Click(int index)
{
    const int old = m_selRow;
    const int target = index == 0 ? old - 1 : old + 1;
    if (old < 1 || target < 1 || target > m_rules.size() || old > m_rules.size())
        return;
    if (index == 0)
        moveRuleUp(m_rules, old);
    else
        moveRuleDown(m_rules, old);
    m_selRow = target;
    // The rule moves with its colour; the numbers in column 0 stay in order.
    fgName->setRule(old, m_rules[old - 1], m_state.palette);
    fgName->setRule(target, m_rules[target - 1], m_state.palette);
    fgName->setRowSelectedLook(target, true);
    fgName->setRowSelectedLook(old, false);
    updateButtons(target);
    focusKeyCatcher();
}

void RuleListDialog::cmdDel_Click()
{
    if (m_selRow < 1 || m_selRow > m_rules.size())
        return;
    deleteRule(m_rules, m_selRow);
    fgName->showRules(m_rules, m_state.palette, false, -1);
    m_selRow = -1;
    disableRowButtons();
}

void RuleListDialog::cmdAdd_Click()
{
    // Keys and colour fields hold two digits: a 100th rule could not be stored.
    if (m_rules.size() >= MaxRules) {
        m_showMessage(this, QMessageBox::Critical, ruleui::refusalPrompt(RuleRefusal::TooMany),
                      ruleui::RetryTitle);
        return;
    }
    const int number = int(m_rules.size()) + 1;
    openEditor(true, [number](RuleEditorDialog &editor) {
        editor.setNumber(number);
        editor.setRuleText(QString());
        editor.bNew = true;
        editor.setWindowTitle(QStringLiteral("（ﾟ∀ﾟﾉﾉ☆ ルール作成 - 新規追加"));
    });
}

void RuleListDialog::fgName_DblClick()
{
    if (m_selRow < 1 || m_selRow > m_rules.size() || fgName->cellText(m_selRow, 1).isEmpty())
        return;
    const MessageRule rule = m_rules[m_selRow - 1];
    const int number = m_selRow;
    openEditor(false, [rule, number](RuleEditorDialog &editor) {
        editor.bNew = false;
        editor.choosePosition(rule.position);
        editor.chooseColor(rule.colorIndex);
        editor.setRuleText(rule.text);
        editor.setNumber(number);
        editor.setWindowTitle(QStringLiteral("（ﾟ∀ﾟﾉﾉ☆ ルール作成 - 修正"));
    });
}

void RuleListDialog::openEditor(bool adding, const EditorSetup &setup)
{
    setEnabled(false);
    m_ruleEditorCloses = 0;
    m_editorOpen = true;
    m_editorAdds = adding;
    auto *editor
        = new RuleEditorDialog(m_state.palette, m_rules, m_ruleEditorCloses, m_showMessage, this);
    m_editor = editor;
    editor->applyResult = [this](const RuleEditorResult &result) {
        return applyEditorResult(result);
    };
    // Closing counts and carries on; an editor that goes without closing carries on too.
    connect(editor, &RuleEditorDialog::closed, this, &RuleListDialog::editorClosed);
    connect(editor, &QObject::destroyed, this, &RuleListDialog::editorClosed);
    editor->show();
    setup(*editor);
}

void RuleListDialog::editorClosed()
{
    if (!m_editorOpen)
        return;
    m_editorOpen = false;
    m_editor = nullptr;
    setEnabled(true);
    focusKeyCatcher();
    // A new rule leaves no row selected; an edited one keeps its selection.
    if (m_editorAdds && m_selRow > 0)
        clearSelection();
}

RuleRefusal RuleListDialog::applyEditorResult(const RuleEditorResult &result)
{
    const MessageRule rule {result.colorEntry + 1, result.text, result.position};
    if (result.isNew) {
        const AddRuleResult added = addRule(m_rules, rule);
        if (added.refusal != RuleRefusal::None)
            return added.refusal;
        m_headerOnly = false;
        fgName->showRules(m_rules, m_state.palette, false, m_selRow);
        return RuleRefusal::None;
    }
    const RuleRefusal refusal = replaceRule(m_rules, result.number, rule);
    if (refusal == RuleRefusal::None && result.number >= 1 && result.number <= m_rules.size())
        fgName->setRule(result.number, m_rules[result.number - 1], m_state.palette);
    return refusal;
}

void RuleListDialog::cmdOk_Click()
{
    if (!saveRules(m_state.settings.iniPath, m_rules, m_loadedRuleCount)) {
        // Closing now would lose every change: stay open so the user can retry or cancel.
        m_showMessage(this, QMessageBox::Critical,
                      ui::settingsNotWrittenText(m_state.settings.iniPath,
                                                 QStringLiteral("ルールは保存されてないからね")),
                      ui::SettingsNotWrittenTitle);
        return;
    }
    close();
}

void RuleListDialog::reject()
{
    close();
}

void RuleListDialog::closeEvent(QCloseEvent *event)
{
    // While the editor is open the list waits for it and cannot go.
    if (m_editorOpen) {
        event->ignore();
        return;
    }
    event->accept();
}
