#pragma once

#include "engine/page/index/pageindex.h"
#include "engine/page/index/searchterms.h"
#include "engine/page/index/termspill.h"

#include <QList>
#include <QSet>
#include <QString>

// The term files of an index (searchterms.h), in a folder beside it: "NNNN.js", one per share of
// the terms, each a script handing its terms' pages to the index, and "pages", which names the
// pages they were made from (the index's rows in order, with the size of each one's search data),
// so that a later run takes over what it says of the pages it does not write again.
//
// Two folders take turns ("…index.search-a", "…index.search-b"): a run writes the one its index
// does not name, names it in the new index, and only then removes the other. An index is never
// without whole term files.
struct TermFiles
{
    QString folder; // its name in the index's folder; empty for none
    quint32 shards = 0;

    bool isValid() const { return !folder.isEmpty() && shards > 0; }
    // As the index page names them: "FOLDER/ SHARDS".
    QString attribute() const;
    static TermFiles fromAttribute(QStringView text);
};

// Writes the term files for `rows`, the index's rows in order, in the index's folder. What
// `earlier` says of a page stands when the page is not among `rewritten` and its search data
// has the size it had; the terms the run kept of a page it wrote are taken from `spill`; the
// search data of every other page is read. A row whose search data
// cannot be read loses its `searchData`. The files written are returned; none (invalid) when
// they could not be, and then the index searches every page's data (and `error` says why).
TermFiles writeTermFiles(const QString &folder, const QString &prefix, QList<IndexEntry> &rows,
                         const TermFiles &earlier, const QSet<QString> &rewritten,
                         const TermSpill &spill, QString *error = nullptr);

// Removes term files this program wrote, and their folder when nothing else is left in it.
void removeTermFiles(const QString &folder, const TermFiles &files);

// Counts the terms of a page's search data (searchdata.h) into `terms`. False when the file is
// not such data or cannot be read.
bool readPageTerms(const QString &dataPath, searchterms::PageTerms &terms);
