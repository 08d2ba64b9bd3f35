#pragma once

#include "ui/uiutil.h"

class QDialog;
class QWidget;
struct AppState;

// Creates the rule list dialog (frmRule); the caller disables itself and shows it modelessly,
// and enables itself again when the dialog is destroyed. The dialog deletes itself on close.
// `showMessage` shows the message boxes of the list and of its rule editor.
QDialog *createRuleListDialog(AppState &state, ui::MessageFunction showMessage, QWidget *parent);
