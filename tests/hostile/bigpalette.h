#pragma once

// The two settings the save loop alternates between: 99 palette entries with long labels, so
// that one save writes a few megabytes and takes long enough to be interrupted.

#include "settings/settings.h"

#include <QString>

namespace bigpalette {

inline void fill(Settings &settings, Palette &palette, QChar variant)
{
    palette.clear();
    for (int n = 1; n <= 99; ++n) {
        PaletteEntry entry;
        entry.code = variant == u'A' ? QStringLiteral("#A0A0A0") : QStringLiteral("#B0B0B0");
        entry.label = QString(variant) + QString::number(n) + QString(8000, QChar(u'色'));
        palette.append(entry);
    }
    settings.customHeader = QString(variant) + QStringLiteral(" の発言：");
    settings.addStr = QString(variant) + u'_';
    settings.colorCountAtLoad = 99;
}

} // namespace bigpalette
