#include "engine/page/pagewriter.h"

#include "engine/page/classic/classicpage.h"
#include "engine/page/modern/modernpage.h"

PageStyleWriter pageStyleWriter(PageStyle style)
{
    switch (style) {
    case PageStyle::Classic:
        return {.make = [](const PageFacts &facts, const Settings &settings,
                           const Palette &palette) -> std::unique_ptr<PageWriter> {
            return std::make_unique<ClassicPageWriter>(facts, settings, palette);
        }};
    case PageStyle::Modern:
        return {.showsTimes = true,
                .distinctColors = true,
                .anchors = true,
                .showsFiles = true,
                .provenance = true,
                .make = [](const PageFacts &facts, const Settings &settings,
                           const Palette &) -> std::unique_ptr<PageWriter> {
                    return std::make_unique<ModernPageWriter>(facts, settings);
                }};
    }
    Q_UNREACHABLE();
    return {};
}
