#pragma once

#include "settings/palette.h"

#include <QColor>
#include <QComboBox>
#include <QStyledItemDelegate>

// A drop-down list whose open list paints every entry's text in the entry's own colour on the
// list background, the highlighted entry in the palette's Highlight / HighlightedText colours,
// starting right at the entry's left edge (the entry text's own leading blank gives the gap).
// No colour swatch, no focus rectangle. The open list is always tall enough to show every
// entry without scrolling.
//
// Item data: the entry's display colour value, red + green * 256 + blue * 65536, stored as an
// int in Qt::UserRole (what colorcode::colorValueFromCode gives). An entry without data is
// drawn black.
//
// The closed box shows the current entry's text in the box's own text colour, which the owning
// dialog sets with setTextColor().
class ColorComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit ColorComboBox(QWidget *parent = nullptr);

    // Appends an entry with the given text and display colour value.
    void addColorItem(const QString &text, int colorValue);
    // Replaces the entries by one per palette entry, in palette order:
    // text " " + label + eight blanks, data = the entry's display colour value.
    void fillFromPalette(const Palette &palette);

    // The display colour value of entry `index` (0 without data or out of range).
    int colorValue(int index) const;
    QColor itemColor(int index) const { return colorFromValue(colorValue(index)); }

    // Text colour of the closed box.
    void setTextColor(const QColor &color);
    QColor textColor() const;

    void showPopup() override;

    // Display colour value (red + green * 256 + blue * 65536) <-> QColor.
    static QColor colorFromValue(int value);
    static int valueFromColor(const QColor &color);
};

// Paints the entries of a ColorComboBox list; usable for any list view whose items carry a
// display colour value in Qt::UserRole.
class ColorItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
