#pragma once

#include "ui/uiutil.h"

#include <QColor>
#include <QDialog>
#include <QPointer>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
struct AppState;
class ColorChart;

// frmSet: edits the header, the output prefix and options, the two fixed text colours and the
// palette. It works on its own controls only; OK writes them into the shared state, saves the
// settings file and calls `onSaved`; Cancel, Esc and the close box discard everything.
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

    // The colour chart writes a picked code into txtColor as if it had been typed.
    bool editingHex() const { return m_editingHex; }
    void setEditingHex(bool on) { m_editingHex = on; }
    void chartPick(const QString &code);

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildOptions();
    void buildColorGroup();
    void load();

    // The dialog as a whole.
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

    // The colour group.
    void addLine(const QString &text, int colorNumber);
    int selectedLine() const;
    void selectLine(int row);
    void lstColor_Click();
    void applySampleBold();
    void setSampleBold(bool bold);
    void showColor(int colorNumber);
    void barChange(int component);
    void numberBoxLeft(int component);
    void txtColor_Change();
    void txtColor_LostFocus();
    void cmdTekiyo_Click();
    void Command1_Click();
    void Command2_Click();
    void lstColor_DblClick();
    void lstColor_MouseMove(const QPoint &pos);
    void cmdChart_Click();
    void setSampleColor(int red, int green, int blue);
    int lineColorNumber(int row) const;
    QLineEdit *numberBox(int component) const;
    QScrollBar *bar(int component) const;

    AppState &m_state;
    ui::MessageFunction m_showMessage;
    std::function<void()> m_onSaved;

    int headerChoice = 0;
    bool selectAllPending = false;
    bool updatingBar = false;
    bool m_editingHex = false;
    bool chartOpen = false;
    bool m_removing = false; // a removal is under way: the selection change is not a pick
    QPointer<ColorChart> m_chart;
    QColor m_sampleColor; // the sample's text colour, also the rename swatch

    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QGroupBox *Frame4 = nullptr;
    QGroupBox *Frame5 = nullptr;
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

    QListWidget *lstColor = nullptr;
    QLabel *lblColor = nullptr;
    QLabel *lblRed[3] = {};
    QLineEdit *txtRed = nullptr;
    QLineEdit *txtGreen = nullptr;
    QLineEdit *txtBlue = nullptr;
    QScrollBar *H_R = nullptr;
    QScrollBar *H_G = nullptr;
    QScrollBar *H_B = nullptr;
    QLineEdit *txtColor = nullptr;
    QPushButton *cmdTekiyo = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *cmdChart = nullptr;
};
