#include "engine/page/index/indexassets.h"

#include "engine/page/modern/modernassets.h"

namespace pageassets {

namespace {

// Each starts on a line of its own after the tag that opens it.
QString asset(const char *name)
{
    return u'\n' + modernassets::asset(name);
}

} // namespace

// The index wears the pages' themes: their backgrounds and their dark colours.
const QString &indexStyle()
{
    static const QString text
        = asset("index.css")
              .replace(QStringLiteral("@DarkVariables@"), modernassets::darkVariables());
    return text;
}

const QString &indexScript()
{
    static const QString text = asset("theme.js") + modernassets::asset("index.js");
    return text;
}

const QString &pageNavStyle()
{
    static const QString text = asset("pagenav.css");
    return text;
}

} // namespace pageassets
