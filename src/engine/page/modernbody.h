#pragma once

#include "engine/read/linerole.h"
#include "engine/read/linestamps.h"
#include "engine/text/linetests.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class SpeakerKeys;

// Turns the lines of a log, in order, into the utterances of the modern page, in UTF-8:
// every header line opens an utterance (the speaker's name in its colour, an anchor "#uN",
// the time where the log tells it) whose message lines follow as text; notices stand apart;
// separators frame notices and are not shown themselves; a new day gets a heading (the log's own
// day line, where it writes them). Lines arrive as the chat filter left
// them; http and https addresses become links, and tags a line leaves open are closed at the
// end of its block, so chat markup never spills into the next utterance.
//
// The blocks are grouped into sections that a browser lays out only when they come into
// view, which keeps a page of a very long log quick to open.
class ModernBody
{
public:
    ModernBody(const LineTests &tests, const SpeakerKeys &keys, const LineStamps &stamps);

    // The page text for the next line of the log (without its line break). `role`: what the
    // log's structure says the line is; Unknown lines are sorted by the line tests.
    void write(const QString &line, LineRole role, QByteArray &out);
    // Closes what is open; called once after the last line.
    void finish(QByteArray &out);

    static constexpr int SectionBlocks = 64;
    static constexpr int SectionLines = 400;

private:
    enum class Block { None, Utterance, Notice, Plain };

    // The fixed markup around one speaker's utterances, made when the speaker first speaks.
    struct SpeakerMarkup
    {
        QByteArray open; // `<div class="u sN`
        QByteArray anchor; // `"><a href="#u`
        QByteArray name; // `">NAME</a>`
    };

    void headerLine(const QString &line, LineRole role);
    void messageLine(const QString &line, bool placeholder);
    void daySeparator(QStringView text);
    void textLine(QStringView html, Block kind);
    void openBlock(Block kind, qsizetype speaker);
    void closeBlock();
    void appendText(QStringView html);
    const SpeakerMarkup &markup(qsizetype speaker);

    LineSorter m_sorter;
    const SpeakerKeys &m_keys;
    LineStamps::Cursor m_stamps;
    QList<SpeakerMarkup> m_markup;
    QByteArray *m_out = nullptr; // the page, while a line is written
    Block m_block = Block::None;
    bool m_textOpen = false; // a text paragraph of the block is open
    qsizetype m_speaker = -1; // the last utterance's speaker
    qsizetype m_utterance = 0; // utterances so far (anchors count from 1)
    qsizetype m_line = 0; // index of the line being written
    int m_sectionBlocks = 0;
    int m_sectionLines = 0;
    bool m_sectionOpen = false;
    QString m_lastDate;
    bool m_dayLines = false; // the log writes its own day lines (a LINE export)
    // The line after a header whose first characters restate the time shown in the header.
    qsizetype m_restatedLine = -1;
    qsizetype m_restated = 0;
    QStringList m_openTags; // chat tags the block has left open, innermost last
};

// Appends chat markup (as the filter left it), in UTF-8, with its http and https addresses made
// links and its tags tracked in `openTags`. Exposed for the tests.
void appendChatHtml(QStringView html, QByteArray &out, QStringList &openTags);
