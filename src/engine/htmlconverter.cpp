#include "htmlconverter.h"

#include "appstate.h"
#include "htmlbody.h"
#include "htmlhead.h"
#include "linetests.h"
#include "logreader.h"
#include "markupfilter.h"
#include "ruletable.h"
#include "run.h"
#include "runlogs.h"
#include "runsteps.h"
#include "speakerhandover.h"
#include "speakerkeys.h"

namespace {

// The lines of one chunk of the body; the window gets a chance to breathe after each.
constexpr qsizetype ChunkLines = 1000;

const QString CrLf = QStringLiteral("\r\n");
const QString PageEnd = QStringLiteral("</font>\r\n</dl>\r\n</body>\r\n</html>");

enum class LogOutcome { Next, StopRun };

// The speakers' first colours: palette entries in turn, in speaker order, unless a rule fixes
// one; a rule's colour moves the turn on from there.
SpeakerHandover assignColors(const SpeakerKeys &speakerKeys, const RuleTable &rules,
                             const Settings &settings, const Palette &palette)
{
    const int colorCount = int(qMin<qsizetype>(qMax(settings.colorCount, 0), palette.size()));
    QStringList codes; // checked once: the palette comes from the settings file
    for (int n = 1; n <= colorCount; ++n)
        codes.append(colorcode::checkedCode(palette[n - 1].code));
    const auto code = [&](int number) {
        return number >= 1 && number <= colorCount ? codes[number - 1] : QString();
    };
    SpeakerHandover handover;
    int nextPaletteNumber = 1;
    for (qsizetype k = 0; k < speakerKeys.count(); ++k) {
        const QString name = speakerKeys.name(k);
        if (const auto ruled = rules.isEmpty() ? std::nullopt : rules.match(name))
            nextPaletteNumber = *ruled;
        const QString color = code(nextPaletteNumber);
        handover.speakerColors.append(color);
        handover.table.append({name, QString::number(nextPaletteNumber), color.mid(1)});
        // The turn moves on and wraps after the last entry; a rule's number may be any stored
        // number, up to the largest an int holds, so it is compared rather than incremented.
        nextPaletteNumber = nextPaletteNumber >= settings.colorCount ? 1 : nextPaletteNumber + 1;
    }
    return handover;
}

// Pass 1 over a log: its speakers and its line count.
bool collectSpeakers(LogReader &reader, const LineTests &tests, SpeakerKeys &speakerKeys,
                     qsizetype &lines, RunHost &host)
{
    lines = 0;
    EventPump pump(host);
    QString line;
    while (reader.readLine(line)) {
        pump.lineDone(line.size());
        if (tests.isHeaderLine(line))
            speakerKeys.add(line);
        ++lines;
    }
    speakerKeys.finish();
    return !reader.failed();
}

LogOutcome convertLog(AppState &state, RunHost &host, int i, const RuleTable &rules,
                      const RunLogs &selected)
{
    const Settings &settings = state.settings;
    const QString path = state.selection.path(i);

    showStatus(settings, host, runtext::Reading);
    LogReader reader;
    reader.setTransform(prepareHtmlLine);
    openLog(reader, state, host, path);

    // The lines are tested after the markup filter, so the header text is filtered the same way
    // (a custom header holding "<" still finds its lines).
    const QString headerText = filterChatMarkup(settings.headerText);
    const LineTests tests(headerText);
    SpeakerKeys speakerKeys(headerText);
    qsizetype lineCount = 0;
    const bool readOk = collectSpeakers(reader, tests, speakerKeys, lineCount, host);
    if (!readOk && reader.status() == LogReader::Status::ReadError)
        host.logNotRead(path, reader.errorString());

    ProgressMeter progress(host, progressShown(settings));
    progress.init(lineCount - 1);
    SpeakerHandover handover = assignColors(speakerKeys, rules, settings, state.palette);
    state.colorDialogCloses = 0;
    if (speakerKeys.isEmpty() || !readOk) {
        host.noSpeakers(path, reader.failed(), reader.format());
        return LogOutcome::Next;
    }

    handover.colorDialogCloses = 0;
    host.runSpeakerColorDialog(handover);
    state.colorDialogCloses = handover.colorDialogCloses;
    if (state.colorDialogCloses < 2)
        return LogOutcome::StopRun;

    host.setBusyCursor(true);
    showStatus(settings, host, runtext::Converting);

    const PageStyle style = PageStyle::fromSettings(settings, state.palette);
    PageSpeakers speakers;
    for (qsizetype k = 0; k < speakerKeys.count(); ++k) {
        speakers.titleNames.append(handover.table.value(k).name);
        // The dialog's answer is checked again; an entry the palette lacked stays empty.
        const QString color = handover.speakerColors.value(k);
        speakers.speakerColors.append(color.isEmpty() ? color : colorcode::checkedCode(color));
        speakers.speakerClasses.append(speakerClassName(k));
    }
    handover = SpeakerHandover();
    speakers.legendLabels = makeLegendLabels(speakerKeys.names());

    OutputFile out(path, state.selection.stem(i) + outputExtension(1), state, selected);
    out.open();
    // A Shift-JIS log gives the page it always gave; any other log a UTF-8 page.
    const bool utf8Page = reader.format().utf8Page();
    EventPump headPump(host); // a legend of many speakers takes a while
    writePageHead(
        pageBaseName(path), speakers, style,
        [&](QStringView piece) {
            appendPageText(piece, utf8Page, out.buffer());
            out.flushIfFull();
            headPump.lineDone(piece.size());
        },
        utf8Page);

    // Pass 2: the log is read again rather than kept decoded in memory.
    BodyWriter body(tests, speakerKeys, speakers, style, settings.colorNameToo == 1);
    body.setUtf8Page(utf8Page);
    QString line;
    qsizetype j = 0;
    reader.rewind();
    EventPump pump(host);
    while (reader.readLine(line)) {
        if (j > 0 && j % ChunkLines == 0)
            host.processEvents();
        pump.lineDone(line.size());
        body.write(line, out.buffer());
        out.buffer().append("\r\n", 2);
        out.flushIfFull();
        progress.step();
        ++j;
    }
    if (reader.failed()) {
        // The log changed or went away since the first pass: nothing of it is written.
        out.discard();
        state.colorDialogCloses = 0;
        host.logNotRead(path, reader.errorString());
        host.noSpeakers(path, true, reader.format());
        return LogOutcome::Next;
    }
    progress.clear();
    appendPageText(PageEnd, utf8Page, out.buffer());
    out.buffer().append("\r\n", 2);

    showStatus(settings, host, runtext::Saving);
    out.finish(state, host); // a failure is reported and resets colorDialogCloses
    return LogOutcome::Next;
}

} // namespace

void prepareHtmlLine(QString &line)
{
    // Most lines hold neither: one look at each character decides.
    bool markup = false;
    bool paren = false;
    for (const QChar c : std::as_const(line)) {
        markup |= c == u'<';
        paren |= c == u'(';
    }
    if (markup)
        line = filterChatMarkup(line);
    if (!paren)
        return;
    // Every "(L)" and "(l)" becomes the heart, after the filter so that the heart's markup is
    // the page's own. One pass does both: the heart holds no "(", so replacing "(L)" first can
    // neither make nor break an "(l)".
    QString out;
    qsizetype copied = 0;
    for (qsizetype at = line.indexOf(QLatin1Char('(')); at >= 0 && at + 2 < line.size();
         at = line.indexOf(QLatin1Char('('), at + 1)) {
        const QChar letter = line[at + 1];
        if ((letter == u'L' || letter == u'l') && line[at + 2] == u')') {
            out += QStringView(line).sliced(copied, at - copied);
            out += HeartHtml;
            copied = at + 3;
            at += 2;
        }
    }
    if (copied > 0) {
        out += QStringView(line).sliced(copied);
        line = std::move(out);
    }
}

void convertToHtml(AppState &state, RunHost &host)
{
    const RuleTable rules = RuleTable::load(state.settings);
    const RunLogs selected = RunLogs::selected(state.selection);
    for (int i = 0; i < state.selection.selectedCount(); ++i) {
        if (convertLog(state, host, i, rules, selected) == LogOutcome::StopRun)
            break;
    }
    host.setStatusText(QString());
}
