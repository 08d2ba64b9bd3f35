#pragma once

#include <QStyledItemDelegate>

// Draws the speaker grid's cells the way the grid control users know: the current cell keeps
// its own colours under its focus mark (so the colour just chosen shows), only the other cells
// of a dragged range take the selection colours. A name cut by the column width shows in full
// as the cell's tooltip.
class SpeakerGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
};
