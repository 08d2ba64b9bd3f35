#pragma once

#include <QString>
#include <QStringView>

class QCursor;
class QFont;
class QWidget;

// Small pieces shared by the settings dialog, its colour chart and its colour-name editor.
namespace settingsui {

// The number a colour code carries: its characters after "#" read as one hexadecimal number.
// A code that is not one gives 0 (black).
int colorNumberFromCode(const QString &code);
// One to eight hexadecimal digits and nothing else; -1 otherwise. Only the low 24 bits count.
int hexColorNumber(QStringView digits);

// The fixed-pitch font of the text boxes and the colour list.
QFont fixedFont();

// The dialog's own mouse pointer, shown over its buttons, option buttons, check boxes and the
// colour list.
QCursor pointerCursor();

} // namespace settingsui
