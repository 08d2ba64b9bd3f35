#include "dialogsupport.h"

#include <QCursor>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

namespace settingsui {

namespace {

// A pointing arrow with a small pink heart at its tail; the hot spot is the arrow's tip.
QPixmap drawPointer()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    QPainterPath arrow;
    arrow.moveTo(1, 1);
    arrow.lineTo(1, 18);
    arrow.lineTo(5.5, 14);
    arrow.lineTo(9, 21);
    arrow.lineTo(12, 19.5);
    arrow.lineTo(8.5, 12.5);
    arrow.lineTo(14, 12.5);
    arrow.closeSubpath();
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(arrow);

    QPainterPath heart;
    heart.moveTo(22, 30);
    heart.cubicTo(12, 23, 15, 15, 22, 19);
    heart.cubicTo(29, 15, 32, 23, 22, 30);
    p.setPen(QPen(QColor(160, 0, 80), 1));
    p.setBrush(QColor(255, 105, 180));
    p.drawPath(heart);
    return pixmap;
}

} // namespace

int hexColorNumber(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 8)
        return -1;
    quint32 value = 0;
    for (QChar c : digits) {
        const int d = QStringView(u"0123456789ABCDEF").indexOf(c.toUpper());
        if (d < 0)
            return -1;
        value = value * 16 + quint32(d);
    }
    return int(value & 0xFFFFFF);
}

int colorNumberFromCode(const QString &code)
{
    const QStringView digits = code.startsWith(u'#') ? QStringView(code).mid(1) : QStringView();
    return qMax(0, hexColorNumber(digits));
}

QFont fixedFont()
{
    return QFont(QStringLiteral("ＭＳ ゴシック"), 9);
}

QCursor pointerCursor()
{
    static const QPixmap picture = drawPointer();
    return QCursor(picture, 1, 1);
}

} // namespace settingsui
