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

// The code of a colour given by hue, saturation and lightness (each 0 … 1).
QString hslCode(double hue, double saturation, double lightness);

// How different two colours look: the distance of their OKLab coordinates (Ottosson 2020), a
// perceptual colour space in which equal distances look about equally different. 0 for the
// same colour; black to white is 1; colours closer than about 0.02 look the same.
double difference(const QString &a, const QString &b);

// A colour's coordinates in a Lab space, for measuring many differences: OKLab from labOf, or
// CIELAB (D65) from cielabOf. difference is their distance; of two CIELAB colours it is the
// CIE76 ΔE, which weighs lightness more than OKLab does (black to white is 100, about 2.3 is
// just noticed).
struct Lab
{
    double l = 0, a = 0, b = 0;
};
Lab labOf(const QString &code);
Lab cielabOf(const QString &code);
double difference(const Lab &p, const Lab &q);

} // namespace readable
