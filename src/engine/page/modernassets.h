#pragma once

#include <QString>

// The modern page's fixed style sheet and script, written into every page as they are (the
// page is one self-contained file). The per-speaker colours are written beside them.
namespace modernassets {

// Light theme values first; the dark values follow as DarkVariables, which the page writes
// twice: under prefers-color-scheme and for the reader's own choice.
extern const QString Style;
extern const QString DarkVariables;
extern const QString PrintStyle;
extern const QString Script;

// The page's two backgrounds; speaker and notice colours are made readable on them.
inline const QString LightBackground = QStringLiteral("#FFFFFF");
inline const QString DarkBackground = QStringLiteral("#1B1D21");
// Notices sit on a tint of their own; their colour is made readable on it.
inline const QString LightNoteBackground = QStringLiteral("#F1F3F5");
inline const QString DarkNoteBackground = QStringLiteral("#262A30");

} // namespace modernassets
