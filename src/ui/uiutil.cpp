#include "uiutil.h"

#include "settings/palette.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace ui {

namespace {

// The base name of data/pelorin.desktop, and of the icon it names.
const QString DesktopName = QStringLiteral("pelorin");

class ReturnPresser : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier) || !button || !button->isEnabled())
            return false;
        button->click();
        return true;
    }
};

} // namespace

void identifyToDesktop()
{
    QGuiApplication::setDesktopFileName(DesktopName);
    QApplication::setWindowIcon(programIcon());
}

QIcon programIcon()
{
    return QIcon::fromTheme(DesktopName, QIcon(QStringLiteral(":/icons/pelorin.svg")));
}

void installFontSubstitutions()
{
    const QStringList japanese
        = {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
           QStringLiteral("IPAGothic"),        QStringLiteral("IPAPGothic"),
           QStringLiteral("VL Gothic"),        QStringLiteral("TakaoGothic")};
    const QStringList mono = {QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("IPAGothic"),
                              QStringLiteral("Noto Sans CJK JP")};
    for (const char *name : {"ＭＳ Ｐゴシック", "ＭＳ Ｐ明朝", "MS UI Gothic", "MS PGothic"})
        QFont::insertSubstitutions(QString::fromUtf8(name), japanese);
    for (const char *name : {"ＭＳ ゴシック", "ＭＳ 明朝", "MS Gothic"})
        QFont::insertSubstitutions(QString::fromUtf8(name), mono);
}

QColor colorFromCode(const QString &code)
{
    int r = 0, g = 0, b = 0;
    colorcode::splitColorCode(code, r, g, b);
    return QColor(r, g, b);
}

void setTopmost(QWidget *window, bool topmost)
{
    if (!window)
        return;
    const bool visible = window->isVisible();
    window->setAttribute(Qt::WA_ShowWithoutActivating, true);
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    // Changing window flags hides the window; show it again where it was.
    if (visible)
        window->show();
    window->setAttribute(Qt::WA_ShowWithoutActivating, false);
}

void pressButtonsOnReturn(QWidget *window)
{
    auto *presser = new ReturnPresser(window);
    for (QPushButton *button : window->findChildren<QPushButton *>()) {
        button->setAutoDefault(false);
        button->installEventFilter(presser);
    }
}

void placeTwips(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

void showMessageBox(QWidget *parent, QMessageBox::Icon icon, const QString &prompt,
                    const QString &title)
{
    QMessageBox box(icon, title, prompt, QMessageBox::Ok, parent);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}

QString settingsNotWrittenText(const QString &path, const QString &note)
{
    return QStringLiteral("設定ファイルに書き込めなかったよ…\n") + path + u'\n' + note;
}

QMessageBox::Icon messageBoxIcon(RunHost::Icon icon)
{
    switch (icon) {
    case RunHost::Icon::Critical:
        return QMessageBox::Critical;
    case RunHost::Icon::Information:
        return QMessageBox::Information;
    case RunHost::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace ui
