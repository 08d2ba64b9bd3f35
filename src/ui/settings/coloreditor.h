#pragma once

#include "settings/palette.h"
#include "ui/uiutil.h"

#include <QGroupBox>
#include <QPointer>

class ColorChart;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;

// The colour group of the settings dialog (Frame1): the colour list (the body colour, the
// narration colour, then one line per palette entry), the four linked forms of the edited
// colour (hex box, number boxes, scroll bars, sample) and Apply / Add / Remove / Rename / the
// colour chart. It edits its own lines only; the dialog reads them back on OK.
//
// Controls by objectName: lstColor, lblColor, lblRed_0 … lblRed_2, txtRed, txtGreen, txtBlue,
// H_R, H_G, H_B, txtColor, cmdChart, cmdTekiyo, Command1 (Add), Command2 (Remove).
class ColorEditor : public QGroupBox
{
    Q_OBJECT

public:
    ColorEditor(ui::MessageFunction showMessage, QWidget *parent);

    // Fills the list with the two fixed colours and the palette, and selects line 0.
    void load(const QString &bodyColor, const QString &narColor, const Palette &palette);
    // The codes ("#" and six upper-case hexadecimal digits) and names the lines carry.
    QString bodyColor() const;
    QString narColor() const;
    Palette palette() const;

    // Whether utterances are bold (the dialog's chkB): a palette line's sample shows it.
    void setBoldUtterances(bool bold);
    // The three number boxes; the dialog selects their text on a click as it does its own.
    QList<QLineEdit *> numberBoxes() const;
    // The colour chart writes a picked code into the hex box as if it had been typed.
    void chartPick(const QString &code);
    // The dialog is closing: so does the chart, if it is open.
    void closeChart();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void addLine(const QString &text, int colorNumber);
    int lineColorNumber(int row) const;
    int selectedLine() const;
    void selectLine(int row);
    void lstColor_Click();
    void setSampleBold(bool bold);
    void setSampleColor(int red, int green, int blue);
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
    QLineEdit *numberBox(int component) const;
    QScrollBar *bar(int component) const;

    ui::MessageFunction m_showMessage;
    bool m_boldUtterances = false;
    bool updatingBar = false;
    bool editingHex = false;
    bool chartOpen = false;
    bool m_removing = false; // a removal is under way: the selection change is not a pick
    QPointer<ColorChart> m_chart;
    QColor m_sampleColor; // the sample's text colour, also the rename swatch

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
