#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The index page of a folder of converted logs: "<prefix>index.htm", one row per page with the
// log's name, its speakers, its utterance count, its first and last date where known, and a
// link. A later run keeps the rows of pages that are still there and replaces those it wrote
// again. Each row carries its facts in data attributes, so the page is its own record.
struct IndexEntry
{
    QString page; // the page's file name, in the index's folder
    QString log; // the log's file name
    QStringList speakers; // names as the page shows them (text, entities kept; no "<")
    qsizetype utterances = 0;
    QString firstDate;
    QString lastDate;
};

// The index's file name for the prefix in force.
QString indexFileName(const QString &prefix);

// Writes (or updates) the index of `folder` atomically with `entries` added. False, with a
// reason in `error`, when it could not be written, or when the name is taken by something
// this program did not write as an index (a page of a log named "index", say): that file is
// left alone.
bool writePageIndex(const QString &folder, const QString &prefix, const QList<IndexEntry> &entries,
                    QString *error);

// The rows an index page holds (those it wrote itself); empty for anything else.
QList<IndexEntry> readIndexEntries(const QByteArray &page);
