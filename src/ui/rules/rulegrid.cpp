#include "rulegrid.h"

#include "ruleui.h"
#include "ui/uiutil.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

namespace {

const QColor FixedBackground(0xC0, 0xFF, 0xC0);
const QColor SelectedBackground(0xFF, 0xFF, 0xE0);
constexpr int ColumnWidthsTwips[RuleGrid::ColumnCount] = {885, 4000, 2000, 2500, 0};

QColor ruleColor(const MessageRule &rule, const Palette &palette)
{
    if (rule.colorIndex < 1 || rule.colorIndex > palette.size())
        return Qt::black;
    return ui::colorFromCode(palette[rule.colorIndex - 1].code);
}

} // namespace

RuleGrid::RuleGrid(QWidget *parent)
    : QTableWidget(parent)
    , m_hand(ruleui::pointingHandCursor())
{
    setObjectName(QStringLiteral("fgName"));
    setColumnCount(ColumnCount);
    setHorizontalHeaderLabels({QStringLiteral("優先No"), QStringLiteral("含まれる文字"),
                               QStringLiteral("場所"), QStringLiteral("文字色"), QString()});
    QFont cellFont(QStringLiteral("ＭＳ ゴシック"));
    cellFont.setPointSize(12);
    setFont(cellFont);

    const int rowHeight = ui::twips(RowHeightTwips);
    QHeaderView *rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(rowHeight);

    QHeaderView *header = horizontalHeader();
    QFont headerFont = cellFont;
    headerFont.setPointSize(13);
    header->setFont(headerFont);
    header->setFixedHeight(rowHeight);
    header->setMinimumSectionSize(0);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: #C0FFC0;"
                                         " color: black; border: 0px;"
                                         " border-right: 1px solid #808080;"
                                         " border-bottom: 1px solid #808080; }"));
    for (int c = 0; c < ColumnCount; ++c)
        setColumnWidth(c, ui::twips(ColumnWidthsTwips[c]));
    setColumnHidden(4, true);

    setEditTriggers(NoEditTriggers);
    setSelectionMode(NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setTabKeyNavigation(false); // Tab moves between the dialog's controls, never between cells
    setAutoScroll(false); // paging is the dialog's own
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCornerButtonEnabled(false);
    setWordWrap(false);

    viewport()->setMouseTracking(true);
    viewport()->installEventFilter(this);
    header->installEventFilter(this);
}

QTableWidgetItem *RuleGrid::cell(int row, int column) const
{
    return row >= 1 ? item(row - 1, column) : nullptr;
}

void RuleGrid::showRules(const RuleList &rules, const Palette &palette, bool headerOnly, int selRow)
{
    const int dataRows = rules.isEmpty() ? (headerOnly ? 0 : 1) : int(rules.size());
    setRowCount(dataRows);
    for (int row = 1; row <= dataRows; ++row) {
        for (int c = 0; c < ColumnCount; ++c) {
            auto *item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled);
            item->setTextAlignment(Qt::AlignCenter);
            setItem(row - 1, c, item);
        }
        if (row <= rules.size())
            setRule(row, rules[row - 1], palette);
        setRowSelectedLook(row, row == selRow);
    }
}

void RuleGrid::setRule(int row, const MessageRule &rule, const Palette &palette)
{
    if (row < 1 || row > rowCount())
        return;
    const QColor colour = ruleColor(rule, palette);
    const bool known = rule.colorIndex >= 1 && rule.colorIndex <= palette.size();
    const QString texts[ColumnCount] = {
        QString::number(row), QStringLiteral("『") + rule.text + QStringLiteral("』が"),
        rule.position, known ? QStringLiteral(" ") + palette[rule.colorIndex - 1].label : QString(),
        QString::number(rule.colorIndex)};
    for (int c = 0; c < ColumnCount; ++c) {
        QTableWidgetItem *item = cell(row, c);
        item->setText(texts[c]);
        if (c >= 1 && c <= 3)
            item->setForeground(colour);
        if (c == 1 || c == 3)
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
}

bool RuleGrid::isNoRuleState() const
{
    if (rowCount() != 1)
        return false;
    for (int c = 0; c < ColumnCount; ++c)
        if (!cellText(1, c).isEmpty())
            return false;
    return true;
}

QString RuleGrid::cellText(int row, int column) const
{
    const QTableWidgetItem *item = cell(row, column);
    return item ? item->text() : QString();
}

QColor RuleGrid::cellColor(int row, int column) const
{
    const QTableWidgetItem *item = cell(row, column);
    return item ? item->foreground().color() : QColor();
}

void RuleGrid::setRowSelectedLook(int row, bool selected)
{
    for (int c = 0; c < ColumnCount; ++c) {
        QTableWidgetItem *item = cell(row, c);
        if (!item)
            continue;
        item->setBackground(selected ? SelectedBackground
                                     : (c == 0 ? FixedBackground : QColor(Qt::white)));
        QFont f = font();
        f.setBold(selected);
        item->setFont(f);
    }
}

bool RuleGrid::hasSelectedLook(int row) const
{
    const QTableWidgetItem *item = cell(row, 1);
    return item && item->font().bold() && item->background().color() == SelectedBackground;
}

int RuleGrid::visibleRowCount() const
{
    int total = 0;
    for (int row = 0; row < gridRows(); ++row) {
        total += RowHeightTwips;
        if (total >= HeightTwips)
            return row - 2;
    }
    return gridRows();
}

int RuleGrid::firstVisibleRow() const
{
    const int top = rowAt(0);
    return top < 0 ? 0 : top + 1;
}

void RuleGrid::setFirstVisibleRow(int row)
{
    updateGeometries(); // the scroll range must know the current rows
    verticalScrollBar()->setValue(std::max(0, row - 1));
}

QString RuleGrid::toolTipForRow(int row) const
{
    return QStringLiteral(" ") + cellText(row, 1) + cellText(row, 2) + QStringLiteral("文字色を『")
        + cellText(row, 3).trimmed() + QStringLiteral("』にする ");
}

void RuleGrid::pointerMovedTo(int viewportY)
{
    const int row = rowAt(viewportY);
    if (row < 0) {
        setToolTip(QString());
        viewport()->unsetCursor();
    } else {
        setToolTip(toolTipForRow(row + 1));
        viewport()->setCursor(m_hand);
    }
}

bool RuleGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == horizontalHeader()) {
        if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter)
            setToolTip(QString());
        return false;
    }
    if (watched != viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->buttons() == Qt::NoButton)
            pointerMovedTo(int(mouse->position().y()));
        return false;
    }
    case QEvent::Leave:
        setToolTip(QString());
        return false;
    case QEvent::ToolTip: {
        const auto *help = static_cast<QHelpEvent *>(event);
        if (toolTip().isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), toolTip(), viewport());
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const auto modifiers = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
        if (mouse->button() == Qt::LeftButton && !(mouse->modifiers() & modifiers)) {
            const int row = rowAt(int(mouse->position().y()));
            if (row >= 0) {
                setCurrentCell(row, std::max(0, columnAt(int(mouse->position().x()))));
                emit rowPressed(row + 1);
            }
        }
        return true; // the grid keeps no selection of its own
    }
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            emit doubleClicked();
        return true;
    case QEvent::MouseButtonRelease:
        return true;
    default:
        return false;
    }
}
