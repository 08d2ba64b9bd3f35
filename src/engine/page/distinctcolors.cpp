#include "engine/page/distinctcolors.h"

#include "engine/page/pageassets.h"
#include "engine/page/readablecolor.h"
#include "settings/palette.h"

#include <algorithm>

namespace distinct {

ThemeColors themeColors(const QString &code)
{
    return {readable::readableOn(code, pageassets::LightBackground),
            readable::readableOn(code, pageassets::DarkBackground)};
}

namespace {

// A colour in both themes in OKLab and CIELAB, measured against many others.
struct ThemeLabs
{
    readable::Lab light, dark, cieLight, cieDark;
    explicit ThemeLabs(const ThemeColors &c)
        : light(readable::labOf(c.light))
        , dark(readable::labOf(c.dark))
        , cieLight(readable::cielabOf(c.light))
        , cieDark(readable::cielabOf(c.dark))
    {
    }
    // The smaller of the two themes' OKLab differences.
    double difference(const ThemeLabs &o) const
    {
        return std::min(readable::difference(light, o.light), readable::difference(dark, o.dark));
    }
    // A small margin over the minimum, so that other arithmetic (a browser's) agrees.
    bool deltaEApart(const ThemeLabs &o) const
    {
        constexpr double Target = MinimumDeltaE + 0.05;
        return readable::difference(cieLight, o.cieLight) >= Target
            && readable::difference(cieDark, o.cieDark) >= Target;
    }
    // Apart in both measures, in both themes.
    bool apart(const ThemeLabs &o) const
    {
        return difference(o) >= MinimumDifference && deltaEApart(o);
    }
};

const ThemeColors &textColors()
{
    static const ThemeColors text {pageassets::LightText, pageassets::DarkText};
    return text;
}

// The colours its own are picked from: hues every 4 degrees, in four saturations and six
// lightnesses. A light base colour is darkened for the light theme and kept for the dark one,
// a dark one the other way round, so the lightnesses give both themes their shades.
QStringList candidates()
{
    QStringList codes;
    for (int hue = 0; hue < 360; hue += 4) {
        for (const double saturation : {1.0, 0.75, 0.55, 0.35}) {
            for (const double lightness : {0.2, 0.32, 0.45, 0.58, 0.72, 0.86})
                codes.append(readable::hslCode(hue / 360.0, saturation, lightness));
        }
    }
    return codes;
}

} // namespace

ColorTurn::ColorTurn(const QStringList &palette)
    : m_palette(palette)
{
    QList<ThemeLabs> kept {ThemeLabs(textColors())};
    QList<int> keptNumbers {0};
    for (qsizetype n = 1; n <= palette.size(); ++n) {
        const ThemeColors shown = themeColors(palette[n - 1]);
        const ThemeLabs labs(shown);
        m_shown.append(shown);
        int closest = int(n);
        for (qsizetype k = 0; k < kept.size(); ++k) {
            if (!labs.apart(kept[k])) {
                closest = keptNumbers[k];
                break;
            }
        }
        m_standsFor.append(closest);
        if (closest == n) {
            kept.append(labs);
            keptNumbers.append(int(n));
            m_turn.append(int(n));
        }
    }
}

void ColorTurn::makeOwnColors()
{
    m_ownMade = true;
    // Farthest first: each pick is the candidate whose nearest colour so far is farthest away in
    // OKLab; one too close in ΔE to any is out (-1).
    QList<ThemeLabs> chosen {ThemeLabs(textColors())};
    for (const int n : std::as_const(m_turn))
        chosen.append(ThemeLabs(m_shown[n - 1]));
    const QStringList codes = candidates();
    QList<ThemeLabs> shown;
    QList<double> nearest;
    shown.reserve(codes.size());
    nearest.reserve(codes.size());
    for (const QString &code : codes) {
        shown.append(ThemeLabs(themeColors(code)));
        double d = 2;
        for (const ThemeLabs &c : std::as_const(chosen))
            d = shown.last().deltaEApart(c) ? std::min(d, shown.last().difference(c)) : -1;
        nearest.append(d);
    }
    for (;;) {
        const auto best = std::max_element(nearest.cbegin(), nearest.cend());
        if (best == nearest.cend() || *best < MinimumDifference)
            break;
        const qsizetype pick = best - nearest.cbegin();
        m_own.append(codes[pick]);
        m_turn.append(int(m_palette.size() + m_own.size()));
        for (qsizetype k = 0; k < codes.size(); ++k) {
            nearest[k] = shown[k].deltaEApart(shown[pick])
                ? std::min(nearest[k], shown[k].difference(shown[pick]))
                : -1;
        }
    }
}

qsizetype ColorTurn::size()
{
    if (!m_ownMade)
        makeOwnColors();
    return m_turn.size();
}

int ColorTurn::number(qsizetype k)
{
    if (k >= m_turn.size() && !m_ownMade)
        makeOwnColors();
    return m_turn.value(k);
}

QString ColorTurn::code(int number)
{
    if (number >= 1 && number <= m_palette.size())
        return m_palette[number - 1];
    if (number > m_palette.size() && !m_ownMade)
        makeOwnColors();
    const qsizetype own = qsizetype(number) - m_palette.size() - 1;
    return own >= 0 && own < m_own.size() ? m_own[own] : QString();
}

int ColorTurn::standsFor(int number) const
{
    return number >= 1 && number <= m_palette.size() ? m_standsFor[number - 1] : number;
}

} // namespace distinct
