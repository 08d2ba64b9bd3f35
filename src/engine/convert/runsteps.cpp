#include "engine/convert/runsteps.h"

#include "engine/appstate.h"
#include "engine/read/exportpaths.h"
#include "engine/read/logreader.h"
#include "engine/runlogs.h"
#include "engine/runtext.h"
#include "engine/text/linetests.h"

#include <QTimeZone>

namespace {

constexpr qsizetype FlushBytes = 256 * 1024;
constexpr qsizetype MaxProgressUpdates = 1000;

} // namespace

bool statusShown(const Settings &settings)
{
    return settings.speedUp == 0;
}

bool progressShown(const Settings &settings)
{
    return settings.speedUp == 0 && !settings.commandLineRun;
}

void showStatus(const Settings &settings, RunHost &host, const QString &text, bool processEvents)
{
    if (!statusShown(settings))
        return;
    host.setStatusText(text);
    if (processEvents)
        host.processEvents();
}

QList<RunOutput> runOutputs(const AppState &state)
{
    const Selection &selection = state.selection;
    QList<RunOutput> outputs;
    if (!state.mergeLogs) {
        for (int i = 0; i < selection.selectedCount(); ++i)
            outputs.append({i, {}, selection.stem(i)});
        return outputs;
    }
    QHash<QString, qsizetype> byChat; // the output of each chat's name; "" for plain logs
    for (int i = 0; i < selection.selectedCount(); ++i) {
        const auto chat = exportpaths::split(selection.path(i));
        const QString key = chat ? u'/' + chat->key : QString();
        if (const auto found = byChat.constFind(key); found != byChat.cend()) {
            outputs[*found].others.append(selection.path(i));
            continue;
        }
        byChat.insert(key, outputs.size());
        outputs.append({i, {}, selection.stem(i)});
    }
    for (RunOutput &output : outputs) {
        if (!output.others.isEmpty())
            output.stem = output.stem.chopped(1) + QStringLiteral("_merged.");
    }
    return outputs;
}

LineSorting lineSorting(const LineTests &tests)
{
    return [&tests] {
        auto sorter = std::make_shared<LineSorter>(tests, false);
        return [sorter](QStringView line) {
            return sorter->sort(line);
        };
    };
}

bool openLog(LogReader &reader, const AppState &state, RunHost &host, const QString &path)
{
    // A huge log takes a while to look through before its first line.
    reader.setPieceDone([&host] { host.processEvents(); });
    if (!state.settings.timeZone.isEmpty())
        reader.setTimeZone(QTimeZone(state.settings.timeZone.toUtf8()));
    reader.setNames(state.settings.exportNames);
    reader.setChatPlaces(&state.chatPlaces);
    if (reader.open(path, state.settings.headerText, encodingChoice(state.settings.logEncoding)))
        return true;
    if (reader.status() == LogReader::Status::XmlNotLoaded)
        host.showMessage(RunHost::Icon::None,
                         QStringLiteral(QT_TRANSLATE_NOOP("RunMessage", "Can't load xml")),
                         QStringLiteral("Pelorin"), path);
    else
        host.logNotRead(path, reader.errorString());
    return false;
}

void ProgressMeter::init(qsizetype maximum)
{
    if (!m_enabled)
        return;
    m_maximum = qMax<qsizetype>(maximum, 0);
    m_value = m_shown = 0;
    m_stride = qMax<qsizetype>(1, m_maximum / MaxProgressUpdates);
    m_host.progressInit(int(qMin<qsizetype>(m_maximum, INT_MAX)));
}

void ProgressMeter::step(qsizetype count)
{
    if (!m_enabled || m_value >= m_maximum)
        return;
    m_value = qMin(m_maximum, m_value + count);
    if (m_value - m_shown >= m_stride || m_value == m_maximum) {
        m_shown = m_value;
        m_host.setProgressValue(int(qMin<qsizetype>(m_value, INT_MAX)));
    }
}

void ProgressMeter::clear()
{
    if (!m_enabled)
        return;
    m_value = m_shown = 0;
    m_host.setProgressValue(0);
}

OutputFile::OutputFile(const QString &logPath, const QString &outputPath, const AppState &state,
                       const RunLogs &selected)
    : m_logPath(logPath)
    , m_outputPath(outputPath)
    , m_overwritesLog(selected.includes(outputPath) || state.otherLogs.includes(outputPath))
{
}

OutputFile::~OutputFile()
{
    discard();
}

void OutputFile::open()
{
    if (m_overwritesLog || m_file)
        return;
    m_file = std::make_unique<fileio::AtomicFile>(m_outputPath);
    m_file->open(); // a failure stays with the file and is reported by finish()
}

void OutputFile::flush()
{
    if (m_buffer.isEmpty())
        return;
    if (m_file)
        m_file->write(m_buffer);
    m_buffer.resize(0); // keeps the allocation
}

void OutputFile::write(QByteArrayView bytes)
{
    m_buffer.append(bytes);
    flushIfFull();
}

void OutputFile::flushIfFull()
{
    if (m_buffer.size() >= FlushBytes)
        flush();
}

bool OutputFile::finish(AppState &state, RunHost &host)
{
    if (m_overwritesLog) {
        m_buffer.clear();
        state.colorDialogCloses = 0;
        host.showMessage(RunHost::Icon::Critical, runtext::OverwritesLog, runtext::SaveErrorTitle,
                         m_logPath);
        return false;
    }
    open();
    flush();
    if (m_file->commit()) {
        m_file.reset();
        return true;
    }
    const QString reason = m_file->errorString();
    discard();
    state.colorDialogCloses = 0;
    host.outputNotWritten(m_logPath, m_outputPath, reason);
    return false;
}

void OutputFile::discard()
{
    if (m_file)
        m_file->cancel();
    m_file.reset();
    m_buffer.clear();
}
