#include "colorcombobox.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>

ColorComboBox::ColorComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setItemDelegate(new ColorItemDelegate(this));
    // The list shows every entry; only a palette taller than the screen still scrolls.
    view()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void ColorComboBox::addColorItem(const QString &text, int colorValue)
{
    addItem(text, colorValue);
}

void ColorComboBox::fillFromPalette(const Palette &palette)
{
    clear();
    for (const PaletteEntry &entry : palette)
        addColorItem(QStringLiteral(" ") + entry.label + QStringLiteral("        "),
                     colorcode::colorValueFromCode(entry.code));
}

int ColorComboBox::colorValue(int index) const
{
    if (index < 0 || index >= count())
        return 0;
    return itemData(index, Qt::UserRole).toInt();
}

void ColorComboBox::setTextColor(const QColor &color)
{
    QPalette pal = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Text, color);
        pal.setColor(group, QPalette::ButtonText, color);
        pal.setColor(group, QPalette::WindowText, color);
    }
    setPalette(pal);
}

QColor ColorComboBox::textColor() const
{
    return palette().color(QPalette::ButtonText);
}

void ColorComboBox::showPopup()
{
    // Every entry visible at once: no scrolling, whatever the style's default row limit.
    setMaxVisibleItems(qMax(1, count()));
    QComboBox::showPopup();

    QAbstractItemView *list = view();
    QWidget *container = list->parentWidget();
    if (!container || count() == 0)
        return;
    // Some styles open the list at the box's width and with a fixed row limit: grow it to
    // every entry, whole.
    int rows = 0;
    for (int i = 0; i < count(); ++i)
        rows += list->sizeHintForRow(i);
    const int missingHeight = qMax(0, rows - list->viewport()->height());
    const int missingWidth = qMax(0, list->sizeHintForColumn(0) - list->viewport()->width());
    if (missingHeight > 0 || missingWidth > 0) {
        QRect frame(container->pos(), container->size() + QSize(missingWidth, missingHeight));
        // Grown past the screen's edge: move it back in.
        if (const QScreen *screen = container->screen()) {
            const QRect avail = screen->availableGeometry();
            if (frame.right() > avail.right())
                frame.moveRight(avail.right());
            if (frame.bottom() > avail.bottom())
                frame.moveBottom(avail.bottom());
            frame.moveTopLeft(
                QPoint(qMax(frame.left(), avail.left()), qMax(frame.top(), avail.top())));
        }
        container->setGeometry(frame);
    }
    list->scrollToTop();
}

QColor ColorComboBox::colorFromValue(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

int ColorComboBox::valueFromColor(const QColor &color)
{
    return color.red() + color.green() * 256 + color.blue() * 65536;
}

void ColorItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    const bool highlighted = option.state & QStyle::State_Selected;
    const QColor background
        = option.palette.color(highlighted ? QPalette::Highlight : QPalette::Base);
    const QColor text = highlighted
        ? option.palette.color(QPalette::HighlightedText)
        : ColorComboBox::colorFromValue(index.data(Qt::UserRole).toInt());

    painter->save();
    painter->fillRect(option.rect, background);
    painter->setPen(text);
    painter->setFont(option.font);
    painter->drawText(option.rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}

QSize ColorItemDelegate::sizeHint(const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    // The whole text, however long the label: the list is widened to it, never elided.
    const QFontMetrics metrics(option.font);
    const QString text = index.data(Qt::DisplayRole).toString();
    return QSize(metrics.horizontalAdvance(text) + 2, metrics.height() + 2);
}
