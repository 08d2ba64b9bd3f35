#pragma once

#include "rules/messagerule.h"
#include "ruleui.h"
#include "ui/uiutil.h"

#include <QDialog>
#include <QPointer>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RuleEditorDialog;
class RuleGrid;
struct AppState;

// frmRule: the message rules as a grid, one row per rule in priority order. The rules are
// edited on a working copy; "設　定" writes them to the settings file, "やっぱ中止" (and
// Escape, and the close box) closes without writing.
//
// Modeless, topmost, deletes itself on close. It is a top-level window without a Qt parent so
// that it stays usable while its owner (the main window) is disabled; it goes when the owner
// goes. The priority buttons are named "cmdChange_0" (▲) and "cmdChange_1" (▼).
class RuleListDialog : public QDialog
{
    Q_OBJECT

public:
    RuleListDialog(AppState &state, ui::MessageFunction showMessage, QWidget *owner = nullptr);
    ~RuleListDialog() override;

    int selRow() const { return m_selRow; }
    int pageRows() const { return m_pageRows; }
    int loadedRuleCount() const { return m_loadedRuleCount; }
    int ruleEditorCloses() const { return m_ruleEditorCloses; }
    const RuleList &rules() const { return m_rules; } // the working copy
    RuleGrid *grid() const { return fgName; }
    // The editor while one is open, else null.
    RuleEditorDialog *editor() const;

public slots:
    void reject() override; // Escape: as "やっぱ中止"

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void loadRuleList();
    void selectRow(int row);
    void updateButtons(int row);
    void disableRowButtons();
    void clearSelection();
    void focusKeyCatcher();
    bool keyPressed(int key);

    void cmdAdd_Click();
    void cmdDel_Click();
    void cmdChange_Click(int index);
    void fgName_DblClick();
    void cmdOk_Click();

    // Opens the editor with the list disabled; editorClosed carries on once it has closed.
    using EditorSetup = std::function<void(RuleEditorDialog &)>;
    void openEditor(bool adding, const EditorSetup &setup);
    void editorClosed();
    RuleRefusal applyEditorResult(const struct RuleEditorResult &result);

    AppState &m_state;
    ui::MessageFunction m_showMessage;
    RuleList m_rules;
    int m_loadedRuleCount = 0;
    bool m_headerOnly = false;
    int m_selRow = -1;
    int m_pageRows = 0;
    int m_ruleEditorCloses = 0;
    QPointer<RuleEditorDialog> m_editor;
    bool m_editorOpen = false;
    bool m_editorAdds = false; // the open editor makes a new rule

    QLabel *Label1 = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdDel = nullptr;
    RuleGrid *fgName = nullptr;
    QGroupBox *Frame2 = nullptr;
    QPushButton *cmdChange[2] = {nullptr, nullptr};
    QLabel *Label2 = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;
    QLineEdit *Text1 = nullptr;
};
