#include "engine/page/readablecolor.h"

#include "settings/palette.h"

#include <array>
#include <cmath>

namespace readable {

namespace {

// A small margin over the minimum, so that a browser's own arithmetic agrees.
constexpr double Target = MinimumContrast + 0.02;

using Rgb = std::array<double, 3>; // 0 … 1

Rgb fromCode(const QString &code)
{
    int r = 0, g = 0, b = 0;
    colorcode::splitColorCode(colorcode::checkedCode(code), r, g, b);
    return {r / 255.0, g / 255.0, b / 255.0};
}

QString toCode(const Rgb &c)
{
    QString code = QStringLiteral("#");
    for (const double v : c)
        code += colorcode::componentToHex(int(std::lround(std::clamp(v, 0.0, 1.0) * 255)));
    return code;
}

double luminance(const Rgb &c)
{
    const auto linear = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c[0]) + 0.7152 * linear(c[1]) + 0.0722 * linear(c[2]);
}

double ratio(const Rgb &a, const Rgb &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Hsl
{
    double h, s, l;
};

Hsl toHsl(const Rgb &c)
{
    const double max = std::max({c[0], c[1], c[2]});
    const double min = std::min({c[0], c[1], c[2]});
    const double l = (max + min) / 2;
    if (max == min)
        return {0, 0, l};
    const double d = max - min;
    const double s = l > 0.5 ? d / (2 - max - min) : d / (max + min);
    double h;
    if (max == c[0])
        h = (c[1] - c[2]) / d + (c[1] < c[2] ? 6 : 0);
    else if (max == c[1])
        h = (c[2] - c[0]) / d + 2;
    else
        h = (c[0] - c[1]) / d + 4;
    return {h / 6, s, l};
}

Rgb fromHsl(const Hsl &c)
{
    if (c.s == 0)
        return {c.l, c.l, c.l};
    const double q = c.l < 0.5 ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s;
    const double p = 2 * c.l - q;
    const auto channel = [p, q](double t) {
        t = t < 0 ? t + 1 : (t > 1 ? t - 1 : t);
        if (t < 1.0 / 6)
            return p + (q - p) * 6 * t;
        if (t < 0.5)
            return q;
        if (t < 2.0 / 3)
            return p + (q - p) * (2.0 / 3 - t) * 6;
        return p;
    };
    return {channel(c.h + 1.0 / 3), channel(c.h), channel(c.h - 1.0 / 3)};
}

// Rounded to what the page can say, as the browser will see it.
Rgb rounded(const Rgb &c)
{
    return fromCode(toCode(c));
}

} // namespace

double contrast(const QString &a, const QString &b)
{
    return ratio(fromCode(a), fromCode(b));
}

QString readableOn(const QString &code, const QString &background)
{
    const Rgb color = fromCode(code);
    const Rgb bg = fromCode(background);
    if (ratio(color, bg) >= Target)
        return toCode(color);
    const Hsl hsl = toHsl(color);
    // Luminance grows with lightness for a fixed hue and saturation, so the lightness that just
    // reaches the target is found by halving the interval towards black or white.
    const bool darker = luminance(bg) > 0.18; // light background: the text goes darker
    double near = hsl.l; // fails
    double far = darker ? 0.0 : 1.0; // black or white: always passes on such a background
    for (int i = 0; i < 40; ++i) {
        const double mid = (near + far) / 2;
        if (ratio(rounded(fromHsl({hsl.h, hsl.s, mid})), bg) >= Target)
            far = mid;
        else
            near = mid;
    }
    Rgb result = rounded(fromHsl({hsl.h, hsl.s, far}));
    // Rounding can land just short; a further step of one unit settles it.
    for (double l = far; ratio(result, bg) < Target && l >= 0 && l <= 1;) {
        l += darker ? -1.0 / 255 : 1.0 / 255;
        result = rounded(fromHsl({hsl.h, hsl.s, std::clamp(l, 0.0, 1.0)}));
    }
    return toCode(result);
}

} // namespace readable
