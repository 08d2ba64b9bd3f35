#pragma once

#include "engine/read/logformat.h"

#include <QString>

struct SpeakerHandover;

// How a conversion run talks to the window that started it. The main window and the headless
// batch run implement it; tests use a recording fake.
class RunHost
{
public:
    enum class Icon { None, Critical, Information };

    virtual ~RunHost() = default;

    // The first status panel.
    virtual void setStatusText(const QString &text) = 0;

    // The progress bar. progressInit sets 0..maximum with value 0; the run calls
    // setProgressValue only when the value it would show changes.
    virtual void progressInit(int maximum) = 0;
    virtual void setProgressValue(int value) = 0;

    // Let the window handle pending user-interface events.
    virtual void processEvents() = 0;

    // A message box: prompt, OK button, icon, title. `context` is the log the message is about
    // (empty when none); a window may ignore it, the batch run prints it.
    virtual void showMessage(Icon icon, const QString &prompt, const QString &title,
                             const QString &context = QString())
        = 0;

    // Opens the settings dialog modelessly (after a log without speakers).
    virtual void openSettingsDialog() = 0;

    // Shows the speaker colour dialog for one log and returns once
    // handover.colorDialogCloses >= 1 (1: closed without OK, 2: OK with speakerColors set).
    virtual void runSpeakerColorDialog(SpeakerHandover &handover) = 0;

    // A run over several logs: log `index` (from 0) of `count` begins, and the run as a whole
    // ends (after its last log, or when it stopped). A window shows one progress over the whole
    // run and tells the result at the end; the batch run has its own count.
    virtual void logStarting(int index, int count)
    {
        Q_UNUSED(index);
        Q_UNUSED(count);
    }
    virtual void runFinished() { }
    // The output of a log was written.
    virtual void logWritten(const QString &logPath, const QString &outputPath)
    {
        Q_UNUSED(logPath);
        Q_UNUSED(outputPath);
    }

    // Window state around a run.
    virtual void beginProgressDisplay() = 0; // progress bar shown, window disabled
    virtual void endProgressDisplay() = 0;
    virtual void setMainWindowVisible(bool visible) = 0; // speedUp = 1 hides the window
    virtual void setBusyCursor(bool busy) = 0;
    virtual void focusOffscreen() = 0; // the keyboard focus goes to the off-screen Text1
    // The run cleared the selection after writing its last log: reset the count label, the
    // example name and the status text.
    virtual void selectionCleared() = 0;

    // The indented text of an XML history was written in UTF-8 with a mark, as code page 932
    // lacks some of its characters. A window says so in its status bar, the batch run on a line.
    virtual void textInUtf8(const QString &logPath, const QString &outputPath)
    {
        Q_UNUSED(logPath);
        Q_UNUSED(outputPath);
    }

    // The output of a log could not be written (`reason` in a few words); the earlier file of
    // that name, if any, is as it was. A window shows "ファイルを保存できませんでした。" with the
    // output's name; the batch run prints the reason too.
    virtual void outputNotWritten(const QString &logPath, const QString &outputPath,
                                  const QString &reason);

    // A log could not be read (missing, a folder, unreadable, an XML history that would not
    // load); the run then reports it as having no speakers. A window has nothing more to say;
    // the batch run prints the reason.
    virtual void logNotRead(const QString &path, const QString &reason)
    {
        Q_UNUSED(path);
        Q_UNUSED(reason);
    }

    // No speaker header line was found in a log: "発言者が一人も見つかりませんでした。" and the
    // settings dialog, so that the header text can be fixed. `readFailed`: the log could not be
    // read at all and the reason was already told; a window still shows this message, the batch
    // run leaves it at that one reason. `format` is what the log was read as: a window does not
    // show it, the batch run names the encoding and line ends it found, so a user can see why.
    virtual void noSpeakers(const QString &logPath, bool readFailed,
                            const LogFormat &format = LogFormat());
};
