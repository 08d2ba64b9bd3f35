#pragma once

#include "engine/page/chatstats.h"
#include "engine/page/index/searchterms.h"
#include "engine/read/linerole.h"
#include "engine/read/linestamps.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

class SpeakerKeys;

// The text of one page for the search of its folder's index (pageindex.h), kept beside the page
// as "<page>.js". A page opened from the disk may not read another file, but it may load one as
// a script; so the data is a script that hands the page's utterances to the index:
//
//   /* Pelorin search data */
//   pelorinSearchData(1, "PAGE", ["NAME", …], [
//   "YYYY/MM/DD",        a new day: the utterances after it were said on it
//   K, "TEXT",           the next utterance (numbered from 1, as its anchor "#uN"): speaker K
//   …]);
//
// The utterances are numbered as the modern page numbers them, so a hit links to its message.
// Texts are plain text (chat markup left out, entities read). Every string is a JavaScript
// literal holding no quote, backslash, "<", ">", line end, U+2028, U+2029 or lone surrogate as
// itself: the file is safe to load as a script, even inside a page.
class SearchData
{
public:
    SearchData(const SpeakerKeys &keys, const LineStamps &stamps);

    // The script's opening, naming the page (its file name) and the speakers.
    void begin(const QString &pageName, QByteArray &out);
    // The next line of the log as the page gets it (filtered or escaped for the page): `role`
    // as the log's structure says, `sorted` as the page took it (PageWriter::writeLine).
    void write(const QString &line, LineRole role, LineRole sorted, QByteArray &out);
    // The last utterance and the script's end.
    void finish(QByteArray &out);
    // The figures of the utterances so far: the index draws the months of each page.
    const ChatStats &stats() const { return m_stats; }
    // The terms of the utterances so far, for the index's term files.
    const searchterms::PageTerms &terms() const { return m_terms; }

private:
    void flushUtterance(QByteArray &out);

    const SpeakerKeys &m_keys;
    LineStamps::Cursor m_stamps;
    qsizetype m_line = 0;
    qsizetype m_speaker = -1; // of the utterance being gathered; -1 before the first
    bool m_pending = false;
    QString m_text; // its text so far
    QString m_lastDate;
    qsizetype m_restatedLine = -1;
    qsizetype m_restated = 0;
    ChatStats m_stats;
    searchterms::PageTerms m_terms;
};

// What a reader sees of chat markup (as the chat filter left it): its text, with character
// references read.
QString plainText(QStringView html);
void appendPlainText(QStringView html, QString &out);
// Appends `text` as a double-quoted JavaScript string literal in UTF-8, safe anywhere a script
// may stand (see SearchData).
void appendJsString(QStringView text, QByteArray &out);

// True when `path` is search data this program wrote (only its head is read; never a link).
bool isOwnSearchData(const QString &path);
// Removes the search data of a page that is gone, when this program wrote it.
void removeSearchData(const QString &path);
