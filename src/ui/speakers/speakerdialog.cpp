#include "speakerdialog.h"

#include "colorsetdialog.h"
#include "engine/speakerhandover.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

void runSpeakerColorDialog(const Palette &palette, SpeakerHandover &handover, QWidget *parent)
{
    // No parent: the window that started the run is disabled while it waits, and a child
    // window would be disabled with it.
    QPointer<ColorSetDialog> dialog = new ColorSetDialog(palette, handover);
    // Over the window that started the run; on a command-line start that window is never
    // shown, so the middle of the screen.
    const QWidget *owner = parent ? parent->window() : nullptr;
    QRect area;
    if (owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        dialog->move(area.center() - dialog->rect().center());
    QEventLoop loop;
    QObject::connect(dialog, &ColorSetDialog::unloaded, &loop, &QEventLoop::quit);
    QObject::connect(dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    dialog->show();
    if (handover.colorDialogCloses < 1)
        loop.exec();
}
