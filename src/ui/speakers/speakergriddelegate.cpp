#include "speakergriddelegate.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

void SpeakerGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const
{
    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    if (!view || view->currentIndex() != index || !(option.state & QStyle::State_Selected)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The view has already laid the selection colour under the cell: cover it.
    painter->fillRect(option.rect, option.palette.brush(QPalette::Base));
    QStyleOptionViewItem plain(option);
    plain.state &= ~QStyle::State_Selected;
    QStyledItemDelegate::paint(painter, plain, index);
}

bool SpeakerGridDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                    const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid() || index.column() != 0)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // The name cell is two blanks and the speaker's name; the tooltip gives the name alone.
    const QString text = index.data(Qt::DisplayRole).toString();
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const bool cut = cell.fontMetrics.horizontalAdvance(text) > cell.rect.width() - 2 * margin;
    if (cut)
        QToolTip::showText(event->globalPos(), text.mid(2), view->viewport(), cell.rect);
    else
        QToolTip::hideText();
    return true;
}
