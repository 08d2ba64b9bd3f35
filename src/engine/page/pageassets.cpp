#include "engine/page/pageassets.h"

#include <QFile>

namespace pageassets {

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

const QString &darkVariables()
{
    static const QString text = asset("modern-dark.css").trimmed();
    return text;
}

} // namespace pageassets
