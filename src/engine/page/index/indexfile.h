#pragma once

#include "engine/page/index/pageindex.h"
#include "engine/page/index/termspill.h"

#include <QList>
#include <QString>

// Writing a folder's index page (pageindex.h) safely: runs that write into the same folder at
// once take turns (fileio::FolderLock), each merging its rows into what the other left; the
// file is replaced in one step; a file of that name that this program did not write as an index
// is never read beyond its head, nor replaced.

// True when `path` is an index page this program wrote: a regular file, no link, whose first
// bytes say so. Only its head is read.
bool isOwnIndex(const QString &path);

// Whether a page may be written as `outputPath`. Never as the index of its folder: not when the
// run makes an index (`makingIndex`, its name for `prefix`), and never over an index this
// program wrote. False, with a reason in a few words, when it may not.
bool pageNameAllowed(const QString &outputPath, const QString &prefix, bool makingIndex,
                     QString *reason);

// Writes (or updates) the index of `folder` with `entries` added, under the folder's lock; the
// run kept the search terms of their pages in `terms`.
// Rows of earlier runs stay while their pages are there; the search data of a page that is gone
// goes with its row. False, with a reason in `error`, when it could not be written, or when the
// name is taken by something this program did not write as an index: that file is left alone.
bool writePageIndex(const QString &folder, const QString &prefix, const QList<IndexEntry> &entries,
                    const TermSpill &terms, QString *error);
