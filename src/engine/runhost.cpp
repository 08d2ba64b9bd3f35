#include "engine/runhost.h"

#include "engine/runtext.h"

void RunHost::noSpeakers(const QString &logPath, bool readFailed, const LogFormat &format)
{
    Q_UNUSED(readFailed);
    Q_UNUSED(format);
    showMessage(Icon::Critical, runtext::NoSpeakers, runtext::NoSpeakersTitle, logPath);
    openSettingsDialog();
}

void RunHost::outputNotWritten(const QString &logPath, const QString &outputPath,
                               const QString &reason)
{
    Q_UNUSED(reason);
    showMessage(Icon::Critical, runtext::SaveFailed + textcodec::CrLf + outputPath,
                runtext::SaveErrorTitle, logPath);
}
