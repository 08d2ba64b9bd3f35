#pragma once

#include "ui/uiutil.h"

#include <QMessageBox>
#include <QString>
#include <functional>

class QCursor;
class QPushButton;
class QWidget;

// Pieces shared by the rule list and the rule editor.
namespace ruleui {

// How the rule dialogs show a message box (prompt, OK button, icon, title). The list dialog
// hands its function to every editor it opens; tests replace it to record the messages.
using MessageFunction = std::function<void(QWidget *parent, QMessageBox::Icon icon,
                                           const QString &prompt, const QString &title)>;
// The real box, modal over `parent` and above the topmost dialogs.
using ui::showMessageBox;

inline const QString RetryTitle = QStringLiteral("やり直して");

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
