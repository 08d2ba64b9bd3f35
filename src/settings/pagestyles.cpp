#include "pagestyles.h"

#include "settings.h"

std::optional<PageStyle> pageStyleNamed(QStringView word)
{
    for (const PageStyleName &name : PageStyles) {
        if (word == QLatin1StringView(name.word))
            return name.style;
    }
    return std::nullopt;
}

PageStyle pageStyleOf(const Settings &settings)
{
    return pageStyleNamed(settings.pageStyle).value_or(PageStyles[0].style);
}

QString pageStyleWord(PageStyle style)
{
    for (const PageStyleName &name : PageStyles) {
        if (name.style == style)
            return QLatin1StringView(name.word);
    }
    return QString();
}
