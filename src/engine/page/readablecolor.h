#pragma once

#include <QString>

// Colours that stay readable on a page's background: the hue of the chosen colour is kept and
// its lightness moved only as far as needed for the contrast a reader needs (WCAG's 4.5:1 for
// normal text). Codes are "#RRGGBB".
namespace readable {

inline constexpr double MinimumContrast = 4.5;

// The contrast ratio of two colours (1 … 21).
double contrast(const QString &a, const QString &b);

// `code` itself when it is readable on `background`; otherwise the colour of the same hue and
// saturation whose lightness is closest to its own while reaching MinimumContrast (darker on a
// light background, lighter on a dark one).
QString readableOn(const QString &code, const QString &background);

} // namespace readable
