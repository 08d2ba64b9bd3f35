#pragma once

#include "engine/runhost.h"

#include <QString>
#include <functional>

class QWidget;

// How the main window and its dialogs show a message box: prompt, OK button, icon, title.
// Tests replace it to record the messages instead of waiting on a modal box.
using MessageFunction = std::function<void(QWidget *parent, RunHost::Icon icon,
                                           const QString &prompt, const QString &title)>;

// The real message box, modal over `parent`.
void showMessageBox(QWidget *parent, RunHost::Icon icon, const QString &prompt,
                    const QString &title);
