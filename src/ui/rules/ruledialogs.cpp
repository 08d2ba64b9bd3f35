#include "ruledialogs.h"

#include "rulelistdialog.h"

QDialog *createRuleListDialog(AppState &state, QWidget *parent)
{
    return new RuleListDialog(state, parent);
}
