#include "opensettings.h"

#include "settingsdialog.h"

QDialog *createSettingsDialog(AppState &state, std::function<void()> onSaved, QWidget *parent)
{
    return new SettingsDialog(state, std::move(onSaved), parent);
}
