#pragma once

class QDialog;
class QWidget;
struct AppState;

// Creates the rule list dialog (frmRule); the caller disables itself and shows it modelessly,
// and enables itself again when the dialog is destroyed. The dialog deletes itself on close.
QDialog *createRuleListDialog(AppState &state, QWidget *parent);
