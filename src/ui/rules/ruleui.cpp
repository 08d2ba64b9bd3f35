#include "ruleui.h"

#include "ui/uiutil.h"

#include <QCursor>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace ruleui {

QString refusalPrompt(RuleRefusal refusal)
{
    switch (refusal) {
    case RuleRefusal::TooMany:
        return QStringLiteral("ルールは９９個までざます。ヽ(`Д´)ﾉ ");
    case RuleRefusal::TextTooLong:
        return QStringLiteral("長すぎるざます。ヽ(`Д´)ﾉ ");
    case RuleRefusal::UnstorableText:
        return QStringLiteral("使えない文字があるざます。ヽ(`Д´)ﾉ ");
    default:
        return QStringLiteral("「<$>」は使えないざます。ヽ(`Д´)ﾉ ");
    }
}

QCursor pointingHandCursor()
{
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 1));

    // Index finger pointing up, the other fingers folded to its right, thumb on the left.
    QPainterPath hand;
    hand.moveTo(9, 2);
    hand.cubicTo(9, 0, 13, 0, 13, 2);
    hand.lineTo(13, 10);
    hand.cubicTo(13, 8, 17, 8, 17, 10);
    hand.cubicTo(17, 9, 21, 9, 21, 11);
    hand.cubicTo(21, 10, 25, 10, 25, 12);
    hand.lineTo(25, 19);
    hand.lineTo(23, 23);
    hand.lineTo(10, 23);
    hand.lineTo(4, 15);
    hand.cubicTo(3, 13, 6, 11, 8, 13);
    hand.lineTo(9, 15);
    hand.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(hand);
    // Knuckle lines of the folded fingers.
    p.drawLine(17, 11, 17, 15);
    p.drawLine(21, 12, 21, 15);

    // The blue cuff.
    p.setBrush(QColor(0, 0, 255));
    p.drawRect(9, 23, 15, 6);
    p.setPen(QPen(QColor(0, 0, 128), 1));
    p.drawLine(10, 26, 23, 26);
    p.end();
    return QCursor(image, 11, 0);
}

void setButtonBackground(QPushButton *button, const QString &code)
{
    QPalette pal = button->palette();
    pal.setColor(QPalette::Button, ui::colorFromCode(code));
    button->setPalette(pal);
}

void fitTextToWidth(QWidget *widget)
{
    QFont font = widget->font();
    while (widget->sizeHint().width() > widget->width() && font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        widget->setFont(font);
    }
}

void attachToOwner(QWidget *window, QWidget *owner)
{
    window->setAttribute(Qt::WA_QuitOnClose, false);
    if (!owner)
        return;
    window->winId(); // the platform window must exist to take a transient parent
    QWidget *ownerWindow = owner->window();
    if (window->windowHandle() && ownerWindow->windowHandle())
        window->windowHandle()->setTransientParent(ownerWindow->windowHandle());
    if (!ownerWindow->isVisible())
        return;
    QRect wanted(QPoint(), window->size());
    wanted.moveCenter(ownerWindow->frameGeometry().center());
    if (const QScreen *screen = ownerWindow->screen()) {
        const QRect available = screen->availableGeometry();
        wanted.moveLeft(std::max(wanted.left(), available.left()));
        wanted.moveTop(std::max(wanted.top(), available.top()));
    }
    window->move(wanted.topLeft());
}

} // namespace ruleui
