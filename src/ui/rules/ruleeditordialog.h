#pragma once

#include "rules/messagerule.h"
#include "ruleui.h"
#include "settings/palette.h"
#include "ui/uiutil.h"

#include <QDialog>
#include <functional>

class ColorComboBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What the editor hands back on OK: the rule for priority `number`, new or changed.
struct RuleEditorResult
{
    int number = 0;
    bool isNew = false;
    QString text; // trimmed
    QString position; // trimmed position item
    int colorEntry = 0; // chosen colour entry, counted from 0: palette entry colorEntry + 1
};

// frmRuleSet: creates or changes one message rule. It reads as a sentence: 名前に [text]
// という文字が [position] 文字色の初期値を [colour] にしようそうしよう。
//
// Modeless and topmost, a top-level window of its own (its owner, the rule list, is disabled
// while it is open). Every close adds 1 to `ruleEditorCloses`; OK sets it to 1 first.
class RuleEditorDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int MaxColorEntries = MaxRuleColorIndex;

    // `rules` is the owner's working list, read by the duplicate check.
    RuleEditorDialog(const Palette &palette, const RuleList &rules, int &ruleEditorCloses,
                     ui::MessageFunction showMessage, QWidget *owner = nullptr);

    bool bNew = false; // true when the editor creates a rule

    void setNumber(int number); // lblNo
    int number() const;
    void setRuleText(const QString &text); // txtName, all selected
    // The first position item whose trimmed text is `word`; the first item when none is.
    void choosePosition(const QString &word);
    // The entry of palette entry `colorIndex`; an entry the list lacks leaves the choice as it is.
    void chooseColor(int colorIndex);
    bool editorLoaded() const { return m_loaded; }

    // Applies an accepted result to the owner; a refusal keeps the editor open.
    std::function<RuleRefusal(const RuleEditorResult &)> applyResult;

signals:
    void closed(); // after ruleEditorCloses has counted the close

public slots:
    void reject() override; // Escape closes like CancelButton

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void fillLists(const Palette &palette);
    void colorChosen(int index);
    void positionChosen();
    void okClicked();
    void refuse(const QString &prompt, bool selectText);

    const RuleList &m_rules;
    int &m_closes;
    ui::MessageFunction m_showMessage;
    bool m_loaded = false;
    bool m_closeCounted = false;

    QLineEdit *txtName = nullptr;
    ColorComboBox *cboRule = nullptr;
    ColorComboBox *cboColor = nullptr;
    QLabel *lblNo = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QCheckBox *chkRule = nullptr;
};
