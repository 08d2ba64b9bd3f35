#pragma once

#include "engine/page/chatstats.h"
#include "engine/read/linerole.h"
#include "engine/read/linestamps.h"
#include "engine/text/linetests.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class SpeakerKeys;

// The chat tags a block has left open, innermost last.
using OpenTags = QList<QLatin1StringView>;

// Turns the lines of a log, in order, into the utterances of the modern page, in UTF-8:
// every header line opens an utterance (the speaker's name in its colour, an anchor "#uN",
// the time where the log tells it) whose message lines follow as text; the same speaker's next
// utterance, with nothing between, is marked to go under the same name; notices stand apart;
// separators frame notices and are not shown themselves; a new day gets a heading (the log's own
// day line, where it writes them). Lines arrive as the chat filter left them; http and https
// addresses become links, and tags a line leaves open are closed at the end of its block, so
// chat markup never spills into the next utterance.
//
// The blocks are grouped into sections, and the sections into chapters, that a browser lays out
// only when they come into view, which keeps a page of a very long log quick to open.
//
// The page's script searches a section's text as one string. So that it can tell the blocks
// apart there, a carriage return (white space that shows as nothing) follows the section's
// start, each block, and an utterance's name (and time) before its message. The section ends with a
// list of what its blocks are (`<template data-w="1 1 -1 0 d 2">`: speaker N's utterance N, its
// continuation after a notice -N, a notice or plain text 0, a day heading d).
class ModernBody
{
public:
    ModernBody(const LineTests &tests, const SpeakerKeys &keys, const LineStamps &stamps);

    // The page text for the next line of the log (without its line break). `role`: what the
    // log's structure says the line is; Unknown lines are sorted by the line tests. `ref` and
    // `sourceLine`: see PageWriter::writeLine; a header's link names its place in the source.
    LineRole write(const QString &line, LineRole role, QByteArray &out, QStringView ref = {},
                   qint64 sourceLine = 0);
    // Closes what is open; called once after the last line.
    void finish(QByteArray &out);
    // The figures of the utterances written so far, for the page's charts.
    const ChatStats &stats() const { return m_stats; }

    static constexpr int SectionBlocks = 64;
    static constexpr int SectionLines = 400;
    // Sections come in chapters, which a browser also leaves out while they are off screen:
    // it then keeps track of a few hundred chapters rather than thousands of sections.
    static constexpr int ChapterSections = 8;

private:
    enum class Block { None, Utterance, Notice, Plain };

    void headerLine(const QString &line, LineRole role, QStringView record, qint64 sourceLine);
    void messageLine(const QString &line, bool placeholder);
    // A chat export's short line: a linked reply, an image or a file, reactions, "edited".
    void shortLine(const QString &line, LineRole role, QStringView ref);
    // `date`: the day's "YYYY/MM/DD", which gives the heading its anchor (ChatStats::dayAnchor).
    void daySeparator(QStringView html, const QString &date);
    // `linked`: http and https addresses in the text become links (not inside a link).
    void textLine(QStringView html, Block kind, bool linked = true);
    void openBlock(Block kind, qsizetype speaker, bool header = false);
    void closeBlock();
    void openSection();
    void closeSection();
    void appendText(QStringView html, bool linked = true);
    // The line without the time its header already shows.
    QStringView unstamped(const QString &line) const;
    void openUtterance(qsizetype speaker);
    const QByteArray &nameMarkup(qsizetype speaker);

    LineSorter m_sorter;
    const SpeakerKeys &m_keys;
    LineStamps::Cursor m_stamps;
    QList<QByteArray> m_names; // `">NAME</a>` of each speaker, made when it first speaks
    QByteArray *m_out = nullptr; // the page, while a line is written
    Block m_block = Block::None;
    bool m_textOpen = false; // a text paragraph of the block is open
    qsizetype m_speaker = -1; // the last utterance's speaker
    qsizetype m_utterance = 0; // utterances so far (anchors count from 1)
    qsizetype m_line = 0; // index of the line being written
    int m_sectionBlocks = 0;
    int m_sectionLines = 0;
    bool m_sectionOpen = false;
    int m_chapterSections = 0; // sections closed in the chapter open
    QByteArray m_codes; // what the open section holds, block by block
    QString m_lastDate;
    QString m_lastTo; // whom the last utterance was sent to, where the log tells
    bool m_dayLines = false; // the log writes its own day lines (a LINE export)
    // The line after a header whose first characters restate the time shown in the header.
    qsizetype m_restatedLine = -1;
    qsizetype m_restated = 0;
    OpenTags m_openTags;
    ChatStats m_stats;
    QSet<qint64> m_anchoredDays; // Julian days whose heading has its anchor
};

// Appends chat markup (as the filter left it), in UTF-8, with its http and https addresses made
// links and its tags tracked in `openTags`. Exposed for the tests.
void appendChatHtml(QStringView html, QByteArray &out, OpenTags &openTags);
