#include "engine/runhost.h"

#include "engine/runtext.h"

void RunHost::noSpeakers(const QString &logPath, bool readFailed, const LogFormat &format)
{
    Q_UNUSED(readFailed);
    // A file of a kind the program does not read: what it looks like, as the header text
    // could not help. Either way what the log was read as, in case the reading is to blame.
    const QString found = runtext::foreignKindText(format);
    const QString read = runtext::readAsText(format);
    const QString text = found.isEmpty() ? runtext::NoSpeakers : found;
    showMessage(Icon::Critical, read.isEmpty() ? text : text + textcodec::CrLf + read,
                runtext::NoSpeakersTitle, logPath);
    if (found.isEmpty())
        openSettingsDialog();
}

void RunHost::outputNotWritten(const QString &logPath, const QString &outputPath,
                               const QString &reason)
{
    Q_UNUSED(reason);
    showMessage(Icon::Critical, runtext::SaveFailed + textcodec::CrLf + outputPath,
                runtext::SaveErrorTitle, logPath);
}
