#include "engine/page/modern/modernassets.h"

#include <QFile>

namespace modernassets {

QString asset(const char *name)
{
    QFile file(QStringLiteral(":/pelorin/page/") + QLatin1StringView(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the page asset %s is missing from the program", name);
    return QString::fromUtf8(file.readAll())
        .replace(QStringLiteral("@LightBackground@"), LightBackground)
        .replace(QStringLiteral("@DarkBackground@"), DarkBackground)
        .replace(QStringLiteral("@LightText@"), LightText)
        .replace(QStringLiteral("@DarkText@"), DarkText);
}

// The style sheets and the script start on a line of their own after the tag that opens them.
const QString &style()
{
    static const QString text = u'\n' + asset("modern.css");
    return text;
}

const QString &darkVariables()
{
    static const QString text = asset("modern-dark.css").trimmed();
    return text;
}

const QString &printStyle()
{
    static const QString text = u'\n' + asset("modern-print.css");
    return text;
}

const QString &script()
{
    static const QString text = u'\n' + asset("theme.js") + asset("modern.js");
    return text;
}

} // namespace modernassets
