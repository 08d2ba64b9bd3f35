// Helper for the crash-safety test: `settingsloop FILE A|B` saves one variant once;
// `settingsloop FILE loop` saves the two variants in turn until it is killed, saying "saving"
// once the first save is under way.
#include "bigpalette.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    Settings settings;
    Palette palette;
    settings.iniPath = QString::fromLocal8Bit(argv[1]);
    loadSettings(settings, palette);
    const QByteArray mode = argv[2];
    if (mode == "A" || mode == "B") {
        bigpalette::fill(settings, palette, QLatin1Char(mode[0]));
        return saveSettings(settings, palette) ? 0 : 1;
    }
    if (mode != "loop")
        return 2;
    std::puts("saving");
    std::fflush(stdout);
    for (unsigned turn = 0;; ++turn) {
        bigpalette::fill(settings, palette, turn % 2 ? u'B' : u'A');
        if (!saveSettings(settings, palette))
            return 1;
    }
}
