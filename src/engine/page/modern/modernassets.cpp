#include "engine/page/modern/modernassets.h"

#include "engine/page/pageassets.h"

namespace modernassets {

using pageassets::asset;

// The style sheets and the script start on a line of their own after the tag that opens them.
const QString &style()
{
    static const QString text = u'\n' + asset("modern.css");
    return text;
}

const QString &printStyle()
{
    static const QString text = u'\n' + asset("modern-print.css");
    return text;
}

const QString &exportStyle()
{
    static const QString text = u'\n' + asset("modern-export.css");
    return text;
}

const QString &script()
{
    static const QString text = u'\n' + asset("theme.js") + asset("search.js") + asset("modern.js");
    return text;
}

} // namespace modernassets
