#pragma once

#include <QColor>
#include <QString>

class QWidget;

namespace ui {

// Geometry in the stored files and layouts is in twips: 15 twips per logical pixel.
constexpr int twips(int t)
{
    return t / 15;
}

// Maps the Japanese Windows font names the windows use ("ＭＳ Ｐゴシック", "ＭＳ ゴシック", …)
// to the installed Japanese fonts. Call once after the application object exists.
void installFontSubstitutions();

// "#RRGGBB" -> QColor (invalid pairs count as 0, as the colour code rules do).
QColor colorFromCode(const QString &code);

// Puts a window in or out of the topmost layer without moving or activating it.
void setTopmost(QWidget *window, bool topmost);

} // namespace ui
