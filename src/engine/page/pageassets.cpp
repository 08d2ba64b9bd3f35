#include "engine/page/pageassets.h"

#include "engine/page/modernassets.h"

#include <QFile>

namespace pageassets {

namespace {

// The files are part of the program; one that cannot be read is a broken build, not a state to
// carry on in. Each starts on a line of its own after the tag that opens it.
QString asset(const char *name)
{
    QFile file(QStringLiteral(":/pelorin/page/") + QLatin1StringView(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the page asset %s is missing from the program", name);
    return u'\n' + QString::fromUtf8(file.readAll());
}

} // namespace

// The index wears the pages' themes: their backgrounds and their dark colours.
const QString &indexStyle()
{
    static const QString text
        = asset("index.css")
              .replace(QStringLiteral("@LightBackground@"), modernassets::LightBackground)
              .replace(QStringLiteral("@DarkVariables@"), modernassets::darkVariables());
    return text;
}

const QString &indexScript()
{
    static const QString text = asset("index.js");
    return text;
}

const QString &pageNavStyle()
{
    static const QString text = asset("pagenav.css");
    return text;
}

} // namespace pageassets
