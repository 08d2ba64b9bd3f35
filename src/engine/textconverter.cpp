#include "appstate.h"
#include "codec/cp932.h"
#include "linetests.h"
#include "logreader.h"
#include "run.h"
#include "runsteps.h"

namespace {

// One log, in a single streaming pass: every line is classified and written as it is read,
// and the output is dropped again if no header line turns up.
void convertLog(AppState &state, RunHost &host, int i)
{
    const Settings &settings = state.settings;
    const QString path = state.selection.path(i);

    showStatus(settings, host, runtext::Reading);
    LogReader reader;
    openLog(reader, state, host, path);
    const qsizetype lineCount = reader.lineCount();

    OutputFile out(path, state.selection.stem(i) + QStringLiteral("txt"));
    out.open();
    const LineTests tests(settings.headerText);
    NoticeState notices;
    ProgressMeter progress(host, progressShown(settings));
    bool hasSpeakers = false;
    qsizetype linesDone = 0;
    QString line;
    while (reader.readLine(line)) {
        if (linesDone == 0)
            showStatus(settings, host, runtext::Converting, false);
        const bool header = tests.isHeaderLine(line);
        if (!header && !LineTests::isHashLine(line)) {
            const LineClass cls = notices.classify(line);
            if (cls != LineClass::Frame)
                out.buffer().append('\t');
        }
        cp932::encodeAppend(line, out.buffer());
        out.buffer().append("\r\n", 2);
        out.flushIfFull();
        ++linesDone;
        if (header && !hasSpeakers) {
            // From here on the log will be written: what the window shows while saving.
            hasSpeakers = true;
            progress.init(lineCount - 1);
            showStatus(settings, host, runtext::Saving);
            progress.step(linesDone);
        } else if (hasSpeakers) {
            progress.step();
        }
    }
    if (reader.failed() && reader.status() == LogReader::Status::ReadError) {
        // Part of the log could not be read: nothing of it is written.
        out.discard();
        host.logNotRead(path, reader.errorString());
        reportNoSpeakers(host, path);
        return;
    }
    if (!hasSpeakers) {
        out.discard();
        reportNoSpeakers(host, path);
        return;
    }
    host.processEvents();
    if (out.finish(state, host))
        state.colorDialogCloses = 2;
}

} // namespace

void convertToText(AppState &state, RunHost &host)
{
    for (int i = 0; i < state.selection.selectedCount; ++i)
        convertLog(state, host, i);
}
