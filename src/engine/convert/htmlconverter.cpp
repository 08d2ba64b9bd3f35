#include "engine/convert/htmlconverter.h"

#include "codec/samebytes.h"
#include "engine/appstate.h"
#include "engine/convert/bytelog.h"
#include "engine/convert/finishpagerun.h"
#include "engine/convert/pagefiles.h"
#include "engine/convert/provenancerun.h"
#include "engine/convert/redactrun.h"
#include "engine/convert/runsteps.h"
#include "engine/convert/searchfile.h"
#include "engine/convert/speakercolors.h"
#include "engine/page/distinctcolors.h"
#include "engine/page/htmltext.h"
#include "engine/page/index/indexfile.h"
#include "engine/page/pagewriter.h"
#include "engine/read/logreader.h"
#include "engine/runlogs.h"
#include "engine/runtext.h"
#include "engine/speakerhandover.h"
#include "engine/text/bytetests.h"
#include "engine/text/linetests.h"
#include "engine/text/markupfilter.h"
#include "engine/text/ruletable.h"
#include "engine/text/speakerkeys.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <optional>

namespace {

// The lines of one chunk of the body; the window gets a chance to breathe after each.
constexpr qsizetype ChunkLines = 1000;

enum class LogOutcome { Next, StopRun };

// The header prefixes a pass over a text log's bytes holds before it hands them on.
constexpr qsizetype PrefixesHeld = 4096;

// Pass 1 over a log: its speakers and its line count. A text log read as its own bytes
// (`bytes`) has only the lines decoded that may be header lines; should its bytes not be read
// to the end (a huge line, a read error), the reader goes on from there.
bool collectSpeakers(LogReader &reader, ByteLines *bytes, const ByteTests &byteTests,
                     const LineTests &tests, SpeakerKeys &speakerKeys, qsizetype &lines,
                     RunHost &host)
{
    lines = 0;
    EventPump pump(host);
    QString line;
    LineInfo info;
    if (bytes) {
        const textcodec::Encoding encoding = reader.format().detection.encoding;
        textcodec::Decoder decoder(encoding);
        // The header lines that come back as they are, counted by their header prefix's bytes:
        // each prefix is decoded once, however many lines it opens. The order speakers are
        // added in does not matter (finish() orders them), so a log of ever new names hands
        // them on now and then rather than holding them twice.
        QHash<QByteArray, qsizetype> prefixes;
        const auto handOn = [&] {
            for (auto it = prefixes.cbegin(); it != prefixes.cend(); ++it) {
                line.resize(0);
                decoder.decode(it.key(), line, true);
                speakerKeys.add(line, LineRole::Unknown, it.value());
            }
            prefixes.clear();
        };
        QByteArrayView piece;
        ByteLines::Got got;
        while ((got = bytes->next(piece)) == ByteLines::Got::Line) {
            pump.lineDone(piece.size());
            ++lines;
            const bool unchanged = htmlLineUnchanged(piece);
            if (unchanged && byteTests.noHeader(piece))
                continue;
            if (const qsizetype end = unchanged ? byteTests.headerEnd(piece) : -1;
                end > 0 && textcodec::writtenBackAsIs(piece, encoding)) {
                const auto found = prefixes.find(QByteArray::fromRawData(piece.data(), end));
                if (found != prefixes.end()) {
                    ++*found;
                } else {
                    if (prefixes.size() == PrefixesHeld)
                        handOn();
                    prefixes.insert(piece.first(end).toByteArray(), 1);
                }
                continue;
            }
            line.resize(0);
            decoder.decode(piece, line, true);
            prepareHtmlLine(line);
            if (tests.isHeaderLine(line))
                speakerKeys.add(line, LineRole::Unknown);
        }
        handOn();
        if (got == ByteLines::Got::End) {
            speakerKeys.finish();
            return true;
        }
        skipLinesRead(reader, bytes->consumed());
    }
    // Only header lines are looked at here: the others may come without their text.
    reader.setHeadersOnly(true);
    while (reader.readLine(line, &info)) {
        pump.lineDone(line.size());
        const LineRole role = info.role;
        if (role == LineRole::Header || (role == LineRole::Unknown && tests.isHeaderLine(line)))
            speakerKeys.add(line, role);
        ++lines;
    }
    reader.setHeadersOnly(false);
    speakerKeys.finish();
    return !reader.failed();
}

// Pass 2: the log is read again rather than kept decoded in memory; each line goes into the
// page, and into the page's search data when there is one; the files an export's lines name
// are copied beside the page when `files` is given. A text log read as its own bytes (`bytes`)
// is decoded here, and where there is no search data, most of its lines go to the writer as
// they are. False when the log could not be read again.
bool writePage(LogReader &reader, ByteLines *bytes, const ByteTests &tests, PageWriter &writer,
               SearchDataFile *data, PageFiles *files, RunHost &host, OutputFile &out,
               ProgressMeter &progress)
{
    EventPump headPump(host); // a legend of many speakers takes a while
    writer.writeHead([&](QByteArrayView piece) {
        out.buffer().append(piece);
        out.flushIfFull();
        headPump.lineDone(piece.size());
    });
    // Room for a full buffer and what a line usually adds, so that appending seldom moves it.
    out.buffer().reserve(1024 * 1024);
    QString line;
    LineInfo info;
    qsizetype j = 0;
    reader.rewind();
    EventPump pump(host);
    if (bytes) {
        bytes->restart();
        const textcodec::Encoding encoding = reader.format().detection.encoding;
        textcodec::Decoder decoder(encoding);
        QByteArrayView piece;
        ByteLines::Got got;
        while ((got = bytes->next(piece)) == ByteLines::Got::Line) {
            if (j > 0 && j % ChunkLines == 0)
                host.processEvents();
            pump.lineDone(piece.size());
            const bool asIs
                = !data && htmlLineUnchanged(piece) && textcodec::writtenBackAsIs(piece, encoding);
            if (!asIs || !writer.writeLineBytes(piece, tests, out.buffer())) {
                line.resize(0);
                decoder.decode(piece, line, true);
                prepareHtmlLine(line);
                const LineRole sorted = writer.writeLine(line, LineRole::Unknown, QStringView(),
                                                         bytes->consumed(), out.buffer());
                if (data)
                    data->write(line, LineRole::Unknown, sorted);
            }
            out.flushIfFull();
            progress.step();
            ++j;
        }
        if (got == ByteLines::Got::End) {
            writer.writeEnd(out.buffer());
            return true;
        }
        // Not read to the end as bytes (a huge line, a read error): the reader goes on.
        skipLinesRead(reader, j);
    }
    while (reader.readLine(line, &info)) {
        if (j > 0 && j % ChunkLines == 0)
            host.processEvents();
        pump.lineDone(line.size());
        if (info.role == LineRole::Attachment && !info.ref.isEmpty())
            info.ref = files ? files->place(info.ref) : QString();
        const LineRole sorted
            = writer.writeLine(line, info.role, info.ref, info.sourceLine, out.buffer());
        if (data)
            data->write(line, info.role, sorted);
        out.flushIfFull();
        progress.step();
        ++j;
    }
    writer.writeEnd(out.buffer());
    return !reader.failed();
}

// The row of a written page in its folder's index.
IndexEntry indexEntry(const QString &outputPath, const QString &path, const LogReader &reader,
                      const QString &chatName, const SpeakerKeys &speakerKeys, bool anchors)
{
    IndexEntry entry;
    entry.page = outputPath;
    entry.log = path.mid(path.lastIndexOf(u'/') + 1);
    entry.chatName = chatName;
    entry.anchors = anchors;
    for (qsizetype k = 0; k < speakerKeys.count(); ++k) {
        entry.speakers.append(markupText(speakerKeys.name(k)));
        entry.utterances += speakerKeys.lineCount(k);
    }
    entry.firstDate = reader.stamps().firstDate();
    entry.lastDate = reader.stamps().lastDate();
    if (entry.firstDate.isEmpty()) {
        // A log that tells no dates (a text log): the one in its name, else the day its file
        // was last written, which the index marks as such.
        entry.firstDate = entry.lastDate = dateInName(entry.log);
        if (const QDateTime written = QFileInfo(path).lastModified();
            entry.firstDate.isEmpty() && written.isValid()) {
            entry.firstDate = entry.lastDate = written.date().toString(u"yyyy/MM/dd");
            entry.fileDate = true;
        }
    }
    return entry;
}

LogOutcome convertLog(AppState &state, RunHost &host, const RunOutput &output, int i, int outputs,
                      const RuleTable &rules, const PageStyleWriter &style, const RunLogs &selected)
{
    const Settings &settings = state.settings;
    const QString path = state.selection.path(output.log);
    const QStringList &others = output.others;
    // A redacted page's name is known once the log's names are.
    const bool redact = settings.redact == 1;
    const RedactedNames &names = state.pageRun.names;
    if (redact) {
        for (const QString &log : QStringList {path} + others)
            learnNames(state, log);
    }
    const QString outputPath = redact ? redactedPath(output.stem + outputExtension(1), names)
                                      : output.stem + outputExtension(1);
    // A page never takes the place of an index: refused before anything is read or written.
    QString clash;
    if (!pageNameAllowed(outputPath, settings.addStr, settings.makeIndex == 1, &clash)) {
        state.colorDialogCloses = 0;
        host.outputNotWritten(path, outputPath, clash);
        return LogOutcome::Next;
    }

    showStatus(settings, host, runtext::Reading);
    LogReader reader;
    // The stamps are wanted for a page that shows times, and for the index, which lists the
    // dates of every page.
    reader.setStampsWanted(style.showsTimes || settings.makeIndex == 1);
    reader.setReadAgain(true); // its speakers first, then the page
    if (redact)
        redactRecipients(reader, names);
    const LineTests logTests(settings.headerText); // a merged text log's, as read
    reader.setMergedWith(others, lineSorting(logTests));
    if (style.provenance || settings.provenance == 1)
        startSourceHash(path, state.pageRun.hashes);
    const bool opened = openLog(reader, state, host, path);
    // Chat text goes through the markup filter; plain text (a LINE export) is escaped. The lines
    // are tested after that, so the header text goes the same way (a custom header holding "<"
    // still finds its lines).
    const bool plainText = reader.format().plainText();
    const LogReader::Transform pageText = plainText ? escapeHtmlLine : prepareHtmlLine;
    reader.setTransform(redact ? redactedLines(names, settings.headerText, pageText) : pageText);
    const QString headerText
        = plainText ? htmlEscaped(settings.headerText) : filterChatMarkup(settings.headerText);
    const LineTests tests(headerText);
    SpeakerKeys speakerKeys(headerText, plainText);
    qsizetype lineCount = 0;
    QFile bytesFile;
    // A text log's own bytes; the filter of its lines is known here (no names replaced).
    const std::unique_ptr<ByteLines> bytes
        = plainText ? nullptr : byteLines(reader, redact, bytesFile);
    const ByteTests byteTests(headerText, reader.format().detection.encoding);
    const bool readOk
        = collectSpeakers(reader, bytes.get(), byteTests, tests, speakerKeys, lineCount, host);
    // A LINE export tells its name in its first line.
    QString chatName = reader.chatName();
    QString baseName = pageBaseName(path);
    if (redact) {
        names.redact(chatName);
        names.redact(baseName);
    }
    // An export that broke while it was opened has had its line already.
    if (!readOk && opened && reader.status() == LogReader::Status::ReadError)
        host.logNotRead(path, reader.errorString());

    ProgressMeter progress(host, progressShown(settings));
    progress.init(lineCount - 1);
    static const CarriedColors NothingCarried;
    PageRun &run = state.pageRun;
    // A style that deals distinct colours carries every name's colour through the run (the
    // dialog's answers too); any other only what was kept for the rest of the run.
    // A redacted page is coloured as the page of its names would be.
    const RuleName ruleName = redact
        ? RuleName([&names](const QString &name) { return names.original(name); })
        : RuleName();
    SpeakerHandover handover = style.distinctColors
        ? assignDistinctColors(speakerKeys, rules, *run.turn, run.carried, ruleName)
        : assignColors(speakerKeys, rules, settings, paletteCodes(settings, state.palette),
                       run.colorsForRest ? run.carried : NothingCarried, ruleName);
    state.colorDialogCloses = 0;
    // A chat of an export where nobody spoke is still written, with its events.
    const bool eventsOnly = reader.format().chatExport() && lineCount > 0;
    if ((speakerKeys.isEmpty() && !eventsOnly) || !readOk) {
        reader.lookAtForeignKind();
        host.noSpeakers(path, reader.failed(), reader.format());
        return LogOutcome::Next;
    }

    const QList<SpeakerTableEntry> offered = handover.table;
    handover.colorDialogCloses = 0;
    if (run.colorsForRest || speakerKeys.isEmpty()) {
        handover.colorDialogCloses = 2; // as chosen for the rest of the run, or nobody to colour
    } else {
        handover.logName = path.mid(path.lastIndexOf(u'/') + 1);
        handover.logNumber = i + 1;
        handover.logCount = outputs;
        host.runSpeakerColorDialog(handover);
    }
    state.colorDialogCloses = handover.colorDialogCloses;
    if (state.colorDialogCloses < 2)
        return LogOutcome::StopRun;
    run.colorsForRest |= handover.forRestOfRun;
    // Each name keeps the number it has now in the logs still to come.
    if (style.distinctColors) {
        distinct::ColorTurn &turn = *run.turn;
        rememberColors(
            offered, handover, [&turn](int n) { return !turn.code(n).isEmpty(); }, run.carried);
    } else if (run.colorsForRest) {
        rememberColors(
            offered, handover, [&settings](int n) { return n >= 1 && n <= settings.colorCount; },
            run.carried);
    }

    host.setBusyCursor(true);
    showStatus(settings, host, runtext::Converting);

    QStringList colors;
    for (qsizetype k = 0; k < speakerKeys.count(); ++k) {
        // The dialog's answer is checked again; an entry the palette lacked stays empty.
        const QString color = handover.speakerColors.value(k);
        colors.append(color.isEmpty() ? color : colorcode::checkedCode(color));
    }
    handover = SpeakerHandover();

    std::optional<SearchDataFile> data;
    if (settings.makeIndex == 1)
        data.emplace(outputPath, speakerKeys, reader.stamps());
    OutputFile out(path, outputPath, state, selected);
    out.open();
    std::function<Provenance()> provenance;
    if (style.provenance || settings.provenance == 1) {
        provenance = [&reader, &out, &run, &names, redact] {
            return provenanceOf(reader.sourcesRead(), out.outputPath(), reader.shownZone(),
                                run.hashes, redact ? &names : nullptr);
        };
    }
    const PageFacts facts {
        .tests = tests,
        .speakers = speakerKeys,
        .stamps = reader.stamps(),
        .colors = colors,
        .baseName = baseName,
        .chatName = chatName,
        .pageName = out.outputPath().mid(out.outputPath().lastIndexOf(u'/') + 1),
        .indexName = settings.makeIndex == 1 ? indexFileName(settings.addStr) : QString(),
        .utf8Page = reader.format().utf8Page(),
        .chatExport = reader.format().chatExport(),
        .timeZone = reader.shownZone(),
        .redacted = redact,
        .provenance = provenance,
    };
    const std::unique_ptr<PageWriter> writer = style.make(facts, settings, state.palette);
    std::optional<PageFiles> files;
    if (style.showsFiles && reader.format().chatExport()) {
        files.emplace(path, out.outputPath());
        if (redact)
            files->setNameFilter([&names](QString &name) { names.redact(name); });
    }
    const bool bodyOk = writePage(reader, bytes.get(), byteTests, *writer, data ? &*data : nullptr,
                                  files ? &*files : nullptr, host, out, progress);
    if (!bodyOk) {
        // The log changed or went away since the first pass: nothing of it is written.
        out.discard();
        state.colorDialogCloses = 0;
        host.logNotRead(path, reader.errorString());
        host.noSpeakers(path, true, reader.format());
        return LogOutcome::Next;
    }
    progress.clear();

    showStatus(settings, host, runtext::Saving);
    if (!out.finish(state, host)) // a failure is reported and resets colorDialogCloses
        return LogOutcome::Next;
    IndexEntry entry
        = indexEntry(out.outputPath(), path, reader, chatName, speakerKeys, style.anchors);
    if (redact)
        names.redact(entry.log);
    host.logWritten(path, out.outputPath());
    // A file the page names that could not be copied beside it is said; the page stands.
    if (files && !files->failedFile().isEmpty())
        host.outputNotWritten(path, files->failedFile(), files->error());
    if (data) { // the row's sparkline and timeline
        entry.firstMonth = data->stats().firstMonth();
        entry.months = data->stats().months();
        entry.firstDays = data->stats().firstDays();
    }
    // Without its data the page is still listed, marked as one the index cannot search; the
    // run counts the file as not written.
    entry.searchData = data && data->commit();
    if (entry.searchData)
        entry.termsAt = run.terms->add(data->terms().sorted());
    if (data && !entry.searchData) {
        host.outputNotWritten(path, data->path(), data->errorString());
        run.filesNotWritten = true;
    }
    state.pageRun.pages.append(entry);
    return LogOutcome::Next;
}

} // namespace

void convertToHtml(AppState &state, RunHost &host)
{
    // A run that the caller opened (the batch run, over many logs) is continued.
    const bool ownsRun = !state.pageRun.open;
    if (ownsRun)
        state.pageRun.begin();
    const RuleTable rules = RuleTable::load(state.settings);
    const RunLogs selected = RunLogs::selected(state.selection);
    const PageStyleWriter style = pageStyleWriter(pageStyleOf(state.settings));
    std::optional<distinct::ColorTurn> &turn = state.pageRun.turn;
    if (style.distinctColors && !turn)
        turn.emplace(paletteCodes(state.settings, state.palette));
    const QList<RunOutput> outputs = runOutputs(state);
    for (int i = 0; i < outputs.size(); ++i) {
        host.logStarting(i, int(outputs.size()));
        if (convertLog(state, host, outputs[i], i, int(outputs.size()), rules, style, selected)
            == LogOutcome::StopRun)
            break;
    }
    if (ownsRun)
        finishPageRun(state, host);
    host.setStatusText(QString());
}
