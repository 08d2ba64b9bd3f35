#include "engine/page/modernassets.h"

#include <QFile>

namespace modernassets {

namespace {

// An asset as the page writes it, the theme's colours filled in. The files are part of the
// program; one that cannot be read is a broken build, not a state to carry on in.
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

} // namespace

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
    static const QString text = u'\n' + asset("modern.js");
    return text;
}

} // namespace modernassets
