#pragma once

#include "ui/uiutil.h"

#include <functional>

class QDialog;
class QWidget;
struct AppState;

// Creates the settings dialog (frmSet) on the shared state; the caller shows it modelessly.
// `showMessage` shows its message boxes; `onSaved` runs after OK has saved the settings (the
// main window redraws its preview). The dialog deletes itself when it closes.
QDialog *createSettingsDialog(AppState &state, ui::MessageFunction showMessage,
                              std::function<void()> onSaved, QWidget *parent);
