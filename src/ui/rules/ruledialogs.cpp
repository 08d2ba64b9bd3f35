#include "ruledialogs.h"

#include "rulelistdialog.h"

QDialog *createRuleListDialog(AppState &state, ui::MessageFunction showMessage, QWidget *parent)
{
    return new RuleListDialog(state, std::move(showMessage), parent);
}
