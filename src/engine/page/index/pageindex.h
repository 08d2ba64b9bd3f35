#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// The index page of a folder of converted logs, "<prefix>index.htm": one row per page, newest
// first, with the chat's name, its speakers, its utterance count, its first and last date where
// known, and a link; and a search box that searches the text of every page listed, from data
// files beside the pages (searchdata.h) that the index loads as scripts, so that it works when
// opened from the disk. Each row carries its facts in data attributes, one row to a line, so the
// page is its own record: a later run reads the rows back and keeps those whose pages are still
// there. The rows' order is the folder's order by date; a page's "previous" and "next" links go
// through the index (pagenav.h), which knows it.
struct IndexEntry
{
    QString page; // the page's file name, in the index's folder
    QString log; // the log's file name
    QString chatName; // the chat's own name where the log tells it (plain text), else empty
    QStringList speakers; // names as the page shows them (text, entities kept; no "<")
    qsizetype utterances = 0;
    QString firstDate; // "YYYY/MM/DD" where the log tells dates
    QString lastDate;
    bool fileDate = false; // the dates are the day the log file was last written (it tells none)
    bool anchors = false; // every utterance of the page has its anchor "#uN" (the modern page)
    bool searchData = false; // the page's search data was written beside it
    // Utterances per month from `firstMonth` (year * 12 + month - 1) on, where the log tells
    // dates (ChatStats); drawn as the row's sparkline.
    int firstMonth = -1;
    QList<qint32> months;
    // For each of `months`, its first day (1 to 31) with an utterance, 0 for none: the index's
    // timeline links there ("#d20030712") on a page with anchors.
    QList<qint32> firstDays;
    // Where the run kept the page's search terms (termspill.h); -1 where it did not. Not listed.
    qint64 termsAt = -1;
};

// The index's file name for the prefix in force.
QString indexFileName(const QString &prefix);
// A file name as a relative link: every byte but the unreserved ones percent-encoded, so any
// name (also one that is not UTF-8) reaches its file.
QString pageLink(const QString &fileName);
// The name of the search data file of a page, beside it.
QString searchDataName(const QString &page);

// The date a log's name holds ("2003-07-12.txt", "chat_20030712.txt"; also "_" or "." between
// its parts) as "YYYY/MM/DD"; empty when it holds none.
QString dateInName(const QString &logName);

// Newest first: by the last date, then the first date, descending; pages without dates after
// those with, in descending order of their logs' names (names that hold dates sort as those).
void sortNewestFirst(QList<IndexEntry> &entries);

// How many bytes of a file's head tell whether it is an index this program wrote.
constexpr qsizetype IndexHeadBytes = 4096;
// True when these first bytes of a file are the head of an index page this program wrote.
bool isIndexHead(QByteArrayView head);

// The whole index page of a folder shown as `folderName`, its rows in the order given, naming
// its term files (termindex.h) where it has them.
QByteArray indexPage(const QString &folderName, const QList<IndexEntry> &entries,
                     const QString &termFiles = QString());
// Where an index's term files are, when `line` of the index names them; else empty.
QString readTermsMeta(QStringView line);
// The row that `text` starts with (its opening tag, "<tr data-page=…>", which earlier versions
// wrote over several lines); false for anything else.
bool readIndexRow(QStringView text, IndexEntry &entry);
