#pragma once

#include "rules/messagerule.h"
#include "settings/palette.h"

#include <QCursor>
#include <QTableWidget>

// fgName, the rule list's grid. Rows are counted as the list shows them: row 0 is the header,
// row N holds rule N. Column 4 is hidden and holds the rule's palette entry number. Without
// rules the grid shows one empty placeholder row (the no-rule state), or no data row at all.
class RuleGrid : public QTableWidget
{
    Q_OBJECT

public:
    static constexpr int RowHeightTwips = 350;
    static constexpr int HeightTwips = 5355;
    static constexpr int ColumnCount = 5;

    explicit RuleGrid(QWidget *parent = nullptr);

    // Fills every row from `rules`; `selRow` gets the selected look.
    void showRules(const RuleList &rules, const Palette &palette, bool headerOnly, int selRow);
    // Refills rule row `row` (1-based) in place.
    void setRule(int row, const MessageRule &rule, const Palette &palette);

    int gridRows() const { return rowCount() + 1; } // header included
    bool isNoRuleState() const;
    QString cellText(int row, int column) const;
    QColor cellColor(int row, int column) const;
    void setRowSelectedLook(int row, bool selected);
    bool hasSelectedLook(int row) const;

    // Rows counted from the header down until they reach the grid's height: that row's index
    // minus 2, or every row when all fit.
    int visibleRowCount() const;
    int firstVisibleRow() const;
    void setFirstVisibleRow(int row);

    // " 『text』が<position>文字色を『<label>』にする ".
    QString toolTipForRow(int row) const;

signals:
    void rowPressed(int row);
    void doubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTableWidgetItem *cell(int row, int column) const;
    void pointerMovedTo(int viewportY);

    QCursor m_hand;
};
