#pragma once

#include "engine/read/linerole.h"
#include "settings/pagestyles.h"
#include "settings/palette.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

struct ByteTests;
class LineStamps;
struct Provenance;
class LineTests;
class SpeakerKeys;
struct Settings;

// What a page is written from: a log whose speakers and colours are settled.
struct PageFacts
{
    const LineTests &tests; // the header text as the page has it
    const SpeakerKeys &speakers;
    const LineStamps &stamps; // when things were said, where the log tells
    const QStringList &colors; // per speaker: a checked "#RRGGBB", or empty (no such entry)
    QString baseName; // the log's name without its extension (pageBaseName)
    QString chatName; // the chat's own name where the log tells it (plain text), else empty
    QString pageName; // the page's own file name
    QString indexName; // the folder's index page when the run makes one, else empty
    bool utf8Page = false; // what LogFormat::utf8Page says of the log
    bool chatExport = false; // what LogFormat::chatExport says of the log
    // The zone the log's times are shown in ("Asia/Tokyo (UTC+09:00)"), where the log wrote
    // instants rather than the times its app showed; else empty.
    QString timeZone;
    // Names and personal details were replaced (engine/text/redaction.h): the page says so.
    bool redacted = false;
    // Where the page came from (provenance.h), said at its end and asked for only then: a large
    // source's checksum is taken while the page is written. Empty: not said.
    std::function<Provenance()> provenance;
};

// What a redacted page says at its top.
inline const QString RedactedNotice
    = QStringLiteral("この記録は伏せ字にしてあります（人名・電話番号・住所など）");

// Takes a page's bytes as they are made.
using PageBytes = std::function<void(QByteArrayView)>;

// Writes one page in its style: the head, then every line of the log in order, then the end.
// The lines come as the page's text filter left them (prepareHtmlLine, escapeHtmlLine).
class PageWriter
{
public:
    PageWriter() = default;
    virtual ~PageWriter() = default;
    PageWriter(const PageWriter &) = delete;
    PageWriter &operator=(const PageWriter &) = delete;

    // Everything before the first line, in pieces of bounded size however many speakers there
    // are.
    virtual void writeHead(const PageBytes &out) = 0;
    // The page for the next line of the log. `role`: what the log's structure says the line is;
    // Unknown lines are sorted by the line tests. `ref`: where a Reply line's message is on the
    // page ("u12"), or an Attachment's copy beside the page, relative to it; for a Header the
    // message's id in the export, where it has one; else empty. `sourceLine`: the line's number
    // in a source read by lines, else 0 (LineInfo::sourceLine). Returns what the page took the
    // line for (an Unknown line sorted by the line tests), so that the line is sorted once.
    virtual LineRole writeLine(const QString &line, LineRole role, QStringView ref,
                               qint64 sourceLine, QByteArray &out)
        = 0;
    // The next line of a text log given as its own bytes, where the page's text filter leaves
    // it as it is and it comes back from a round trip unchanged: true when the writer took it
    // so; false, with nothing written, when it wants the line decoded (writeLine()).
    virtual bool writeLineBytes(QByteArrayView, const ByteTests &, QByteArray &) { return false; }
    // What follows the last line.
    virtual void writeEnd(QByteArray &out) = 0;
};

// A page style as a run of pages sees it: what its pages need, and their writer.
struct PageStyleWriter
{
    // The page shows when things were said: the log's stamps are wanted.
    bool showsTimes = false;
    // Every speaker gets a colour of its own that a reader can tell apart (distinctcolors.h),
    // and a name keeps its colour through the run.
    bool distinctColors = false;
    // Every utterance has its anchor "#uN", which the index's search links to.
    bool anchors = false;
    // A chat export's pictures and files are shown or linked from a folder beside the page.
    bool showsFiles = false;
    // Every page ends with where it came from; a style without it says it only when the
    // settings ask (Settings::provenance).
    bool provenance = false;
    std::unique_ptr<PageWriter> (*make)(const PageFacts &facts, const Settings &settings,
                                        const Palette &palette)
        = nullptr;
};

// Each style of PageStyles bound to its writer.
PageStyleWriter pageStyleWriter(PageStyle style);
