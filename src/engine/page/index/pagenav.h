#pragma once

#include <QString>

// A page's links to its folder's index and to the pages before and after it by date. The order
// of a folder's pages changes with every page added to it, and a page is written once; so the
// links to the neighbours go to the index with the page's name ("_index.htm#older=PAGE"), and the
// index, which always knows the order, sends the reader on (pageindex.h). No page is ever
// rewritten, and the links are plain links: no script, no request.
struct PageNav
{
    QString indexName; // the index's file name in the page's folder; empty: no links
    QString pageName; // the page's own file name
};

// The links as a <nav> element (empty when there is no index).
QString pageNavHtml(const PageNav &nav);
// Their style (page/assets/pagenav.css), for the style sheet of a page that has them.
const QString &pageNavStyle();
