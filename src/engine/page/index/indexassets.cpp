#include "engine/page/index/indexassets.h"

#include "engine/page/pageassets.h"

namespace indexassets {

namespace {

// Each starts on a line of its own after the tag that opens it.
QString asset(const char *name)
{
    return u'\n' + pageassets::asset(name);
}

} // namespace

// The index wears the pages' themes: their backgrounds and their dark colours.
const QString &indexStyle()
{
    static const QString text
        = asset("index.css")
              .replace(QStringLiteral("@DarkVariables@"), pageassets::darkVariables());
    return text;
}

const QString &indexScript()
{
    static const QString text
        = asset("theme.js") + pageassets::asset("search.js") + pageassets::asset("index.js");
    return text;
}

} // namespace indexassets
