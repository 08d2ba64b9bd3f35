#include "messagebox.h"

#include "ui/uiutil.h"

void showMessageBox(QWidget *parent, RunHost::Icon icon, const QString &prompt,
                    const QString &title)
{
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    if (icon == RunHost::Icon::Critical)
        boxIcon = QMessageBox::Critical;
    else if (icon == RunHost::Icon::Information)
        boxIcon = QMessageBox::Information;
    ui::showMessageBox(parent, boxIcon, prompt, title);
}
