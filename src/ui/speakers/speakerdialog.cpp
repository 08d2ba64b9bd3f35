#include "speakerdialog.h"

#include "colorsetdialog.h"
#include "engine/speakerhandover.h"

#include <QEventLoop>
#include <QPointer>
#include <QWidget>

void runSpeakerColorDialog(const Palette &palette, SpeakerHandover &handover, QWidget *parent)
{
    // No parent: the window that started the run is disabled while it waits, and a child
    // window would be disabled with it.
    QPointer<ColorSetDialog> dialog = new ColorSetDialog(palette, handover);
    if (parent) {
        const QRect owner = parent->window()->frameGeometry();
        dialog->move(owner.center() - dialog->rect().center());
    }
    QEventLoop loop;
    QObject::connect(dialog, &ColorSetDialog::unloaded, &loop, &QEventLoop::quit);
    QObject::connect(dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    dialog->show();
    if (handover.colorDialogCloses < 1)
        loop.exec();
}
