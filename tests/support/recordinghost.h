#pragma once

#include "engine/runhost.h"
#include "engine/speakerhandover.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// A RunHost that records what the run told its window. The speaker colour dialog is answered
// by `onSpeakerDialog` (default: OK with the colours as handed over).
class RecordingHost : public RunHost
{
public:
    struct Message
    {
        Icon icon;
        QString prompt;
        QString title;
        QString context;
    };

    QStringList statusTexts;
    QList<Message> messages;
    QList<SpeakerHandover> speakerDialogs; // each handover as it arrived
    int settingsDialogOpened = 0;
    int progressMaximum = -1;
    int progressValue = 0;
    int progressUpdates = 0;
    int eventsProcessed = 0;
    QList<int> progressAtEvents; // the progress value each time events were processed
    int beginProgress = 0;
    int endProgress = 0;
    int selectionClearedCount = 0;
    QList<bool> windowVisibility;
    std::function<void(SpeakerHandover &)> onSpeakerDialog;

    void setStatusText(const QString &text) override { statusTexts.append(text); }
    void progressInit(int maximum) override
    {
        progressMaximum = maximum;
        progressValue = 0;
    }
    void setProgressValue(int value) override
    {
        progressValue = value;
        ++progressUpdates;
    }
    void processEvents() override
    {
        ++eventsProcessed;
        progressAtEvents.append(progressValue);
    }
    void showMessage(Icon icon, const QString &prompt, const QString &title,
                     const QString &context) override
    {
        messages.append({icon, prompt, title, context});
    }
    void openSettingsDialog() override { ++settingsDialogOpened; }
    void runSpeakerColorDialog(SpeakerHandover &handover) override
    {
        speakerDialogs.append(handover);
        if (onSpeakerDialog) {
            onSpeakerDialog(handover);
        } else {
            handover.colorDialogCloses = 2;
        }
    }
    void beginProgressDisplay() override { ++beginProgress; }
    void endProgressDisplay() override { ++endProgress; }
    void setMainWindowVisible(bool visible) override { windowVisibility.append(visible); }
    void setBusyCursor(bool) override { }
    void focusOffscreen() override { }
    void selectionCleared() override { ++selectionClearedCount; }
};
