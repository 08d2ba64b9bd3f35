#pragma once

#include "ui/uiutil.h"

#include <QDialog>
#include <functional>

class ColorEditor;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct AppState;

// frmSet: edits the header, the output prefix and options, and, in its colour editor (Frame1),
// the two fixed text colours and the palette. It works on its own controls only; OK writes them
// into the shared state, saves the settings file and calls `onSaved`; Cancel, Esc and the close
// box discard everything.
//
// Controls carry their names as objectName; the members of a control array are named
// "<name>_<index>" (optHead_0, optHead_1, lblRed_0 … lblRed_2).
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    SettingsDialog(AppState &state, ui::MessageFunction showMessage, std::function<void()> onSaved,
                   QWidget *parent = nullptr);
    ~SettingsDialog() override;

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildScriptOptions();
    void buildOptions();
    void load();

    void cmdOk_Click();
    void optHead_Click(int index);
    void showHeaderChoice(int index);
    bool leavingForCancel() const;
    void txtHead_LostFocus(Qt::FocusReason reason);
    void txtFile_LostFocus();
    bool holdEmptyBox(QLineEdit *box);
    void chkB_Click();
    void chkSpeed_Click();
    void textBoxEvent(QLineEdit *box, QEvent *event);

    AppState &m_state;
    ui::MessageFunction m_showMessage;
    std::function<void()> m_onSaved;

    int headerChoice = 0;
    bool selectAllPending = false; // one flag for the header, prefix and number boxes

    QGroupBox *Frame2 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QGroupBox *Frame4 = nullptr;
    QGroupBox *Frame5 = nullptr;
    ColorEditor *Frame1 = nullptr;
    QCheckBox *chkFontBold = nullptr;
    QCheckBox *chkForeColor = nullptr;
    QCheckBox *chkBgColor = nullptr;
    QRadioButton *optHead[2] = {};
    QLineEdit *txtHead = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *txtFile = nullptr;
    QCheckBox *chlNameColor = nullptr;
    QCheckBox *chkB = nullptr;
    QCheckBox *chkSpeed = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;
    QLineEdit *Text1 = nullptr;
};
