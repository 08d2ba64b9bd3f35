#include "opensettings.h"

#include "settingsdialog.h"

QDialog *createSettingsDialog(AppState &state, ui::MessageFunction showMessage,
                              std::function<void()> onSaved, QWidget *parent)
{
    return new SettingsDialog(state, std::move(showMessage), std::move(onSaved), parent);
}
