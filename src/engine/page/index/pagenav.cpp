#include "engine/page/index/pagenav.h"

#include "engine/page/index/pageindex.h"
#include "engine/page/pageassets.h"

QString pageNavHtml(const PageNav &nav)
{
    if (nav.indexName.isEmpty())
        return QString();
    const QString index = pageLink(nav.indexName);
    const QString page = pageLink(nav.pageName);
    return QStringLiteral("<nav class=\"pages\" aria-label=\"ページ\"><a href=\"") % index
        % QStringLiteral("#older=") % page
        % QStringLiteral("\" rel=\"prev\">← 前のページ</a><a href=\"") % index
        % QStringLiteral("\">一覧</a><a href=\"") % index % QStringLiteral("#newer=") % page
        % QStringLiteral("\" rel=\"next\">次のページ →</a></nav>\n");
}

const QString &pageNavStyle()
{
    // On a line of its own, as every asset starts.
    static const QString text = u'\n' + pageassets::asset("pagenav.css");
    return text;
}
