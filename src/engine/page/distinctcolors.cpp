#include "engine/page/distinctcolors.h"

#include "engine/page/modernassets.h"
#include "engine/page/readablecolor.h"
#include "settings/palette.h"

#include <algorithm>

namespace distinct {

ThemeColors themeColors(const QString &code)
{
    return {readable::readableOn(code, modernassets::LightBackground),
            readable::readableOn(code, modernassets::DarkBackground)};
}

double difference(const ThemeColors &a, const ThemeColors &b)
{
    return std::min(readable::difference(a.light, b.light), readable::difference(a.dark, b.dark));
}

namespace {

const ThemeColors &textColors()
{
    static const ThemeColors text {modernassets::LightText, modernassets::DarkText};
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
    QList<ThemeColors> kept {textColors()};
    QList<int> keptNumbers {0};
    for (qsizetype n = 1; n <= palette.size(); ++n) {
        const ThemeColors shown = themeColors(palette[n - 1]);
        m_shown.append(shown);
        int closest = int(n);
        for (qsizetype k = 0; k < kept.size(); ++k) {
            if (difference(shown, kept[k]) < MinimumDifference) {
                closest = keptNumbers[k];
                break;
            }
        }
        m_standsFor.append(closest);
        if (closest == n) {
            kept.append(shown);
            keptNumbers.append(int(n));
            m_turn.append(int(n));
        }
    }
}

namespace {

// A colour in both themes as OKLab coordinates, measured against many others.
struct ThemeLabs
{
    readable::Lab light, dark;
    explicit ThemeLabs(const ThemeColors &c)
        : light(readable::labOf(c.light))
        , dark(readable::labOf(c.dark))
    {
    }
    double difference(const ThemeLabs &o) const
    {
        return std::min(readable::difference(light, o.light), readable::difference(dark, o.dark));
    }
};

} // namespace

void ColorTurn::makeOwnColors()
{
    m_ownMade = true;
    // Farthest first: each pick is the candidate whose nearest colour so far is farthest away.
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
            d = std::min(d, shown.last().difference(c));
        nearest.append(d);
    }
    for (;;) {
        const auto best = std::max_element(nearest.cbegin(), nearest.cend());
        if (best == nearest.cend() || *best < MinimumDifference)
            break;
        const qsizetype pick = best - nearest.cbegin();
        m_own.append(codes[pick]);
        m_turn.append(int(m_palette.size() + m_own.size()));
        for (qsizetype k = 0; k < codes.size(); ++k)
            nearest[k] = std::min(nearest[k], shown[k].difference(shown[pick]));
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
