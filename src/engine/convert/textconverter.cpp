#include "engine/convert/textconverter.h"

#include "codec/samebytes.h"
#include "codec/textcodec.h"
#include "engine/appstate.h"
#include "engine/convert/bytelog.h"
#include "engine/convert/provenancerun.h"
#include "engine/convert/redactrun.h"
#include "engine/convert/runsteps.h"
#include "engine/read/logreader.h"
#include "engine/runlogs.h"
#include "engine/runtext.h"
#include "engine/text/bytetests.h"
#include "engine/text/linetests.h"

#include <algorithm>

namespace {

constexpr qsizetype SliceChars = 64 * 1024;

// A huge line (a log without line breaks) is encoded piece by piece, so that its bytes never
// sit in memory next to the whole line; a slice never ends between the halves of a pair.
void writeEncoded(QStringView line, textcodec::Encoding encoding, OutputFile &out)
{
    while (line.size() > SliceChars) {
        qsizetype n = SliceChars;
        if (line[n - 1].isHighSurrogate())
            --n;
        textcodec::encodeAppend(line.first(n), encoding, out.buffer());
        out.flushIfFull();
        line = line.sliced(n);
    }
    textcodec::encodeAppend(line, encoding, out.buffer());
}

// One log, in a single streaming pass: every line is classified and written as it is read,
// and the output is dropped again if no header line turns up. The output keeps the log's own
// encoding, byte order mark and line end (see LogFormat).
void convertLog(AppState &state, RunHost &host, const RunOutput &output, const RunLogs &selected)
{
    const Settings &settings = state.settings;
    const QString path = state.selection.path(output.log);
    const QStringList &others = output.others;
    const bool redact = settings.redact == 1;
    const RedactedNames &names = state.pageRun.names;
    QString outputPath = output.stem + outputExtension(0);

    showStatus(settings, host, runtext::Reading);
    if (redact) {
        // Its names first: a name is replaced also where it is met before its speaker speaks.
        for (const QString &log : QStringList {path} + others)
            learnNames(state, log);
        outputPath = redactedPath(outputPath, names);
    }
    LogReader reader;
    reader.setStampsWanted(false);
    const LineTests tests(settings.headerText);
    reader.setMergedWith(others, lineSorting(tests));
    if (settings.provenance == 1)
        startSourceHash(path, state.pageRun.hashes);
    const bool opened = openLog(reader, state, host, path);
    if (redact)
        reader.setTransform(redactedLines(names, settings.headerText));

    OutputFile out(path, outputPath, state, selected);
    out.open();
    const LogFormat &format = reader.format();
    const textcodec::Encoding encoding = format.textEncoding();
    const QByteArray tab = format.textTab();
    const QByteArray lineEnd = format.textLineEnd();
    // A line's own line end, where the log's lines have their own (a LINE export).
    const QByteArray ownEnds[]
        = {format.textLineEnd(textcodec::LineEnd::CrLf), format.textLineEnd(textcodec::LineEnd::Lf),
           format.textLineEnd(textcodec::LineEnd::Cr)};
    if (format.textMark())
        out.buffer().append(textcodec::byteOrderMark(encoding));
    LineSorter sorter(tests, false);
    ProgressMeter progress(host, progressShown(settings));
    bool hasSpeakers = false;
    qsizetype linesDone = 0;
    qsizetype stepped = 0; // lines of the log file the progress has counted
    EventPump pump(host);
    // One line into the output: its TAB where it is a message or a notice, then the line as
    // `bytes` where they are given, else `line` encoded.
    const auto writeLine = [&](LineRole sorted, const QString &line, const QByteArrayView *bytes,
                               const LineInfo &info, qsizetype consumed) {
        pump.lineDone(bytes ? bytes->size() : line.size());
        if (linesDone == 0)
            showStatus(settings, host, runtext::Converting, false);
        const bool header = sorted == LineRole::Header;
        const bool indented = isMessageLine(sorted) || isNoticeLine(sorted);
        const QByteArray &end = info.end ? ownEnds[int(*info.end)] : lineEnd;
        if (bytes) {
            // One copy into the buffer: appending piece by piece costs more than the copying.
            QByteArray &buffer = out.buffer();
            const qsizetype at = buffer.size();
            buffer.resize(at + (indented ? tab.size() : 0) + bytes->size() + end.size());
            char *o = buffer.data() + at;
            if (indented)
                o = std::copy(tab.cbegin(), tab.cend(), o);
            o = std::copy(bytes->begin(), bytes->end(), o);
            std::copy(end.cbegin(), end.cend(), o);
        } else {
            if (indented)
                out.buffer().append(tab);
            writeEncoded(line, encoding, out);
            out.buffer().append(end);
        }
        out.flushIfFull();
        ++linesDone;
        // Progress is counted in the lines of the log file (a LINE export's own lines).
        if (header && !hasSpeakers) {
            // From here on the log will be written: what the window shows while saving.
            hasSpeakers = true;
            if (progress.enabled())
                progress.init(reader.lineCount() - 1);
            showStatus(settings, host, runtext::Saving);
            progress.step(consumed);
        } else if (hasSpeakers && consumed > stepped) {
            progress.step(consumed - stepped);
        }
        stepped = consumed;
    };
    QString line;
    LineInfo info;
    const auto readLine = [&] {
        const bool got = reader.readLine(line, &info);
        if (got)
            writeLine(info.role == LineRole::Unknown ? sorter.sort(line) : info.role, line, nullptr,
                      info, reader.linesConsumed());
        return got;
    };
    QString byteError; // the log could not be read as bytes: why
    // Most lines of a Shift-JIS or UTF-8 log are copied as they are, and only a few decoded.
    QFile bytesFile;
    if (std::unique_ptr<ByteLines> lines = byteLines(reader, redact, bytesFile)) {
        const ByteTests byteTests(tests.headerText(), encoding);
        textcodec::Decoder decoder(encoding);
        QByteArrayView bytes;
        bool decodedYet = false;
        const auto decoded = [&]() -> const QString & {
            if (!decodedYet) { // into the same string each time: a line costs no allocation
                line.resize(0);
                decoder.decode(bytes, line, true);
            }
            decodedYet = true;
            return line;
        };
        // The role of a line that comes back as it is, told by its bytes where they can tell.
        const auto sortBytes = [&] {
            if (byteTests.headerSize == 0)
                return sorter.sort(decoded());
            if (byteTests.isHeader(bytes))
                return LineRole::Header;
            return sorter.sortOther(
                bytes.startsWith("# "), [&] { return bytes == byteTests.separator; },
                [&] {
                    return bytes.endsWith(byteTests.sendNoticeTail)
                        && LineTests::isSendNotice(decoded());
                });
        };
        ByteLines::Got got;
        while ((got = lines->next(bytes)) == ByteLines::Got::Line) {
            decodedYet = false;
            const bool same = textcodec::writtenBackAsIs(bytes, encoding);
            const LineRole role = same ? sortBytes() : sorter.sort(decoded());
            writeLine(role, line, same ? &bytes : nullptr, info, lines->consumed());
        }
        if (got == ByteLines::Got::Failed)
            byteError = lines->errorString();
        if (got == ByteLines::Got::TooLong) {
            // A huge line: the rest is read as decoded lines, from after those written, so
            // that it is never held as bytes and text at once.
            skipLinesRead(reader, lines->consumed());
            while (readLine()) { }
        }
    } else {
        while (readLine()) { }
    }
    if (!byteError.isEmpty()) {
        out.discard();
        host.logNotRead(path, byteError);
        host.noSpeakers(path, true, format);
        return;
    }
    if (reader.failed() && reader.status() == LogReader::Status::ReadError) {
        // Part of the log could not be read: nothing of it is written. An export that broke
        // while it was opened has had its line already.
        out.discard();
        if (opened)
            host.logNotRead(path, reader.errorString());
        host.noSpeakers(path, true, format);
        return;
    }
    // A chat of an export where nobody spoke (people joined, a call was missed) is still the
    // chat's record: written with its events.
    if (!hasSpeakers && !(format.chatExport() && linesDone > 0)) {
        out.discard();
        reader.lookAtForeignKind();
        host.noSpeakers(path, reader.failed(), format);
        return;
    }
    if (settings.provenance == 1) {
        const Provenance provenance
            = provenanceOf(reader.sourcesRead(), out.outputPath(), reader.shownZone(),
                           state.pageRun.hashes, redact ? &names : nullptr);
        QStringList lines = provenanceText(provenance).split(u'\n');
        lines.removeLast(); // the text ends with its line end
        for (const QString &text : std::as_const(lines)) {
            writeEncoded(text, encoding, out);
            out.buffer().append(lineEnd);
        }
    }
    host.processEvents();
    if (out.finish(state, host)) {
        state.colorDialogCloses = 2;
        host.logWritten(path, out.outputPath());
        if (format.xml() && format.textInUtf8)
            host.textInUtf8(path, out.outputPath());
    }
}

} // namespace

void convertToText(AppState &state, RunHost &host)
{
    // The names a redacted run learns last as long as the run (the batch run opens it).
    const bool ownsRun = !state.pageRun.open;
    if (ownsRun)
        state.pageRun.begin();
    const RunLogs selected = RunLogs::selected(state.selection);
    const QList<RunOutput> outputs = runOutputs(state);
    for (int i = 0; i < outputs.size(); ++i) {
        host.logStarting(i, int(outputs.size()));
        convertLog(state, host, outputs[i], selected);
    }
    if (ownsRun)
        state.pageRun = PageRun();
}
