#pragma once

#include "rules/messagerule.h"

#include <QString>

class QCursor;
class QPushButton;
class QWidget;

// Pieces shared by the rule list and the rule editor.
namespace ruleui {

inline const QString RetryTitle = QStringLiteral("やり直して");

// Why a rule was refused, as the dialogs tell it.
QString refusalPrompt(RuleRefusal refusal);

// The dialogs' own pointer: a pointing hand with a blue cuff, hot spot at the fingertip.
QCursor pointingHandCursor();

// Background colour of a button; the style's own button look is kept otherwise.
void setButtonBackground(QPushButton *button, const QString &code);

// Shrinks the widget's font until its text fits the width it was given: the installed Japanese
// fonts run wider than the ones the layout was drawn for.
void fitTextToWidth(QWidget *widget);

// Makes `window` a top-level window that stays with `owner` (stacked with it, centred over it)
// without being its child: the owner may be disabled while the window is open.
void attachToOwner(QWidget *window, QWidget *owner);

} // namespace ruleui
