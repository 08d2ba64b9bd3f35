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
    // The usual "#RRGGBB" is read directly; anything else as the settings read a code.
    Rgb c {};
    bool plain = code.size() == 7 && code[0] == u'#';
    for (int i = 0; i < 3 && plain; ++i) {
        const int high = colorcode::hexDigit(code[1 + 2 * i]),
                  low = colorcode::hexDigit(code[2 + 2 * i]);
        plain = high >= 0 && low >= 0;
        c[i] = (high * 16 + low) / 255.0;
    }
    if (plain)
        return c;
    int r = 0, g = 0, b = 0;
    colorcode::splitColorCode(colorcode::checkedCode(code), r, g, b);
    return {r / 255.0, g / 255.0, b / 255.0};
}

QString toCode(const Rgb &c)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    char16_t code[7] = {u'#'};
    for (int i = 0; i < 3; ++i) {
        const long v = std::lround(std::clamp(c[i], 0.0, 1.0) * 255);
        code[1 + 2 * i] = char16_t(Digits[v >> 4]);
        code[2 + 2 * i] = char16_t(Digits[v & 15]);
    }
    return QString(reinterpret_cast<const QChar *>(code), 7);
}

double linear(double v)
{
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double luminance(const Rgb &c)
{
    return 0.2126 * linear(c[0]) + 0.7152 * linear(c[1]) + 0.0722 * linear(c[2]);
}

// The luminance of a colour rounded to what the page can say, from a table of the 256 values
// a channel can take: the search for a readable colour asks for many.
double roundedLuminance(const Rgb &c)
{
    static const auto table = [] {
        std::array<double, 256> t {};
        for (int k = 0; k < 256; ++k)
            t[k] = linear(k / 255.0);
        return t;
    }();
    const auto channel = [](double v) {
        return table[std::lround(std::clamp(v, 0.0, 1.0) * 255)];
    };
    return 0.2126 * channel(c[0]) + 0.7152 * channel(c[1]) + 0.0722 * channel(c[2]);
}

Lab oklab(const Rgb &c)
{
    const double r = linear(c[0]), g = linear(c[1]), b = linear(c[2]);
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

Lab cielab(const Rgb &c)
{
    const double r = linear(c[0]), g = linear(c[1]), b = linear(c[2]);
    // XYZ relative to the D65 white, so that white is (1, 1, 1).
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
    const auto f = [](double t) {
        constexpr double Epsilon = 216.0 / 24389, Kappa = 24389.0 / 27;
        return t > Epsilon ? std::cbrt(t) : (Kappa * t + 16) / 116;
    };
    const double fx = f(x), fy = f(y), fz = f(z);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
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
    Rgb r;
    for (int i = 0; i < 3; ++i)
        r[i] = double(std::lround(std::clamp(c[i], 0.0, 1.0) * 255)) / 255;
    return r;
}

} // namespace

double contrast(const QString &a, const QString &b)
{
    return ratio(fromCode(a), fromCode(b));
}

QString hslCode(double hue, double saturation, double lightness)
{
    return toCode(fromHsl({hue, saturation, lightness}));
}

Lab labOf(const QString &code)
{
    return oklab(fromCode(code));
}

Lab cielabOf(const QString &code)
{
    return cielab(fromCode(code));
}

double difference(const Lab &p, const Lab &q)
{
    return std::hypot(p.l - q.l, p.a - q.a, p.b - q.b);
}

double difference(const QString &a, const QString &b)
{
    return difference(labOf(a), labOf(b));
}

QString readableOn(const QString &code, const QString &background)
{
    const Rgb color = fromCode(code);
    const double bgLuminance = luminance(fromCode(background));
    // Whether a colour, rounded as the page writes it, reaches the target.
    const auto readable = [bgLuminance](const Rgb &c) {
        const double l = roundedLuminance(c);
        return (std::max(l, bgLuminance) + 0.05) / (std::min(l, bgLuminance) + 0.05) >= Target;
    };
    if (readable(color))
        return toCode(color);
    const Hsl hsl = toHsl(color);
    // Luminance grows with lightness for a fixed hue and saturation, so the lightness that just
    // reaches the target is found by halving the interval towards black or white.
    const bool darker = bgLuminance > 0.18; // light background: the text goes darker
    double near = hsl.l; // fails
    double far = darker ? 0.0 : 1.0; // black or white: always passes on such a background
    for (int i = 0; i < 40; ++i) {
        const double mid = (near + far) / 2;
        if (readable(fromHsl({hsl.h, hsl.s, mid})))
            far = mid;
        else
            near = mid;
    }
    Rgb result = rounded(fromHsl({hsl.h, hsl.s, far}));
    // Rounding can land just short; a further step of one unit settles it.
    for (double l = far; !readable(result) && l >= 0 && l <= 1;) {
        l += darker ? -1.0 / 255 : 1.0 / 255;
        result = rounded(fromHsl({hsl.h, hsl.s, std::clamp(l, 0.0, 1.0)}));
    }
    return toCode(result);
}

} // namespace readable
