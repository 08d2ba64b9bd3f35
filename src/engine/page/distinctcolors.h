#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Speaker colours on the modern page that a reader can tell apart. Every colour is shown made
// readable on each theme's background (readablecolor.h), which can bring two palette colours
// together (a purple and a magenta both end up a dark magenta); how far apart two colours look
// is measured on what the themes show, in two ways: OKLab weighs hue and saturation as the eye
// does, CIELAB's ΔE weighs lightness more (two shades of one brown can be apart in OKLab and
// still close in ΔE). Two colours are apart when they are in both.
namespace distinct {

// Two colours closer than this in either theme are too close to tell apart at a glance; no two
// colours the page deals out itself are (about three times what a reader just notices).
inline constexpr double MinimumDifference = 0.065;
// Nor closer than this as CIE76 ΔE in CIELAB (about five times what a reader just notices).
inline constexpr double MinimumDeltaE = 12;

// A colour as the two themes show it.
struct ThemeColors
{
    QString light;
    QString dark;
};
ThemeColors themeColors(const QString &code);

// The colours the page deals out to speakers in turn, for a palette ("#RRGGBB" codes, entry n is
// palette[n - 1]): the palette's entries in order, leaving out one too close to an earlier one
// or to the page's text, then colours of its own, each the one of a wide set of hues and shades
// that looks most different (in OKLab) from all before it, for as long as one stays apart from
// all of them. Its own colours are numbered on from the palette: palette.size() + 1, …
// They are worked out when first asked for, once for a run of many logs.
class ColorTurn
{
public:
    explicit ColorTurn(const QStringList &palette);

    // The numbers of the turn, in order.
    qsizetype size();
    int number(qsizetype k);
    // The colour of an entry or of a colour of its own; empty when `number` names neither.
    QString code(int number);
    // The number of the turn whose colour `number`'s looks like: itself when it is in the turn.
    // For a colour the turn passes over, the earlier one it is too close to; 0 when that is the
    // page's text.
    int standsFor(int number) const;

private:
    void makeOwnColors();

    QStringList m_palette;
    QList<ThemeColors> m_shown; // per palette entry
    QList<int> m_standsFor; // per palette entry
    QList<int> m_turn;
    QStringList m_own; // colours of its own
    bool m_ownMade = false;
};

} // namespace distinct
