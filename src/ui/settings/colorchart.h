#pragma once

#include <QWidget>

class QLabel;

// frmChart: the 216 colours whose components are multiples of 0x33, in 12 columns and 18 rows.
// A click on a cell marks it with a border and emits its code; the settings dialog puts the
// code into its hex box as if typed. The cells are named lblColor_0 … lblColor_215 and carry
// their code as tooltip and as the property "tag".
class ColorChart : public QWidget
{
    Q_OBJECT

public:
    explicit ColorChart(QWidget *settingsDialog);

    static QString cellCode(int k);
    int pickedIndex() const { return m_pickedIndex; }
    QString pickedCode() const { return m_pickedCode; }

signals:
    void picked(const QString &code);
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void lblColor_Click(int k);

    QLabel *lblColor[216] = {};
    int m_pickedIndex = 0;
    QString m_pickedCode;
};
