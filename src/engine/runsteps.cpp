#include "runsteps.h"

#include "appstate.h"
#include "logreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace {

constexpr qsizetype FlushBytes = 256 * 1024;
constexpr qsizetype MaxProgressUpdates = 1000;

const QString CrLf = QStringLiteral("\r\n");

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

bool openLog(LogReader &reader, const AppState &state, RunHost &host, const QString &path)
{
    if (reader.open(path, state.settings.headerText))
        return true;
    if (reader.status() == LogReader::Status::XmlNotLoaded)
        host.showMessage(RunHost::Icon::None, QStringLiteral("Can't load xml"),
                         QStringLiteral("Pelorin"), path);
    else
        host.logNotRead(path, reader.errorString());
    return false;
}

void reportNoSpeakers(RunHost &host, const QString &logPath)
{
    host.showMessage(RunHost::Icon::Critical,
                     QStringLiteral("発言者が一人も見つかりませんでした。") + CrLf
                         + QStringLiteral("発言のヘッダを調整してみて下さい。"),
                     QStringLiteral("ログ解析エラー"), logPath);
    host.openSettingsDialog();
}

bool isSameFile(const QString &logPath, const QString &outputPath)
{
    const QFileInfo log(logPath), out(outputPath);
    if (QDir::cleanPath(log.absoluteFilePath()) == QDir::cleanPath(out.absoluteFilePath()))
        return true;
    if (!out.exists() || !log.exists())
        return false;
    // Links, "..", a folder reached twice, letter case on a case-blind file system.
    std::error_code ec;
    return std::filesystem::equivalent(QFile::encodeName(logPath).toStdString(),
                                       QFile::encodeName(outputPath).toStdString(), ec);
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

OutputFile::OutputFile(const QString &logPath, const QString &outputPath)
    : m_logPath(logPath)
    , m_outputPath(outputPath)
    , m_overwritesLog(isSameFile(logPath, outputPath))
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
    m_file = std::make_unique<QSaveFile>(m_outputPath);
    if (!m_file->open(QIODevice::WriteOnly))
        m_failed = true;
}

void OutputFile::flush()
{
    if (m_buffer.isEmpty())
        return;
    if (m_file && !m_failed && m_file->write(m_buffer) != m_buffer.size())
        m_failed = true;
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
        host.showMessage(
            RunHost::Icon::Critical,
            QStringLiteral("変換元のログに上書きしちゃうので保存しませんでした。") + CrLf
                + QStringLiteral("変換後ファイル名の先頭につける文字を設定して下さい。"),
            QStringLiteral("保存エラー"), m_logPath);
        return false;
    }
    open();
    flush();
    const bool ok = m_file && !m_failed && m_file->commit();
    if (!ok)
        discard();
    m_file.reset();
    m_buffer.clear();
    if (ok)
        return true;
    state.colorDialogCloses = 0;
    host.showMessage(RunHost::Icon::Critical,
                     QStringLiteral("ファイルを保存できませんでした。") + CrLf + m_outputPath,
                     QStringLiteral("保存エラー"), m_logPath);
    return false;
}

void OutputFile::discard()
{
    if (m_file)
        m_file->cancelWriting();
    m_file.reset();
    m_buffer.clear();
}
