#include "gridpointer.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QCursor colorPickPointer()
{
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);

    // The arrow, tip at (0, 0).
    QPainterPath arrow;
    arrow.moveTo(0, 0);
    arrow.lineTo(0, 16);
    arrow.lineTo(4, 12);
    arrow.lineTo(7, 19);
    arrow.lineTo(9, 18);
    arrow.lineTo(6, 11);
    arrow.lineTo(11, 11);
    arrow.closeSubpath();
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(Qt::black);
    p.drawPath(arrow);

    // Four colour chips below right of the tip.
    const QColor chips[]
        = {QColor(255, 0, 0), QColor(0, 160, 0), QColor(0, 0, 255), QColor(255, 192, 0)};
    for (int i = 0; i < 4; ++i) {
        const QRect chip(14 + (i % 2) * 7, 14 + (i / 2) * 7, 7, 7);
        p.fillRect(chip, chips[i]);
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(13, 13, 15, 15));
    p.end();
    return QCursor(image, 0, 0);
}
