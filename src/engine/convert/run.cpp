#include "engine/convert/run.h"

#include "engine/appstate.h"
#include "engine/convert/htmlconverter.h"
#include "engine/convert/runsteps.h"
#include "engine/convert/textconverter.h"
#include "engine/runhost.h"
#include "engine/runtext.h"

void mnuRun_Click(AppState &state, RunHost &host)
{
    Settings &settings = state.settings;
    if (state.selection.selectedCount() < 1) {
        host.showMessage(RunHost::Icon::Critical, runtext::NoSelection, runtext::NoSelectionTitle);
        host.focusOffscreen();
        return;
    }

    host.setBusyCursor(true);
    if (!settings.commandLineRun && settings.speedUp == 0)
        host.beginProgressDisplay();
    if (settings.speedUp == 1) {
        host.setMainWindowVisible(false);
        host.processEvents();
    }

    if (settings.changeType != 0)
        convertToHtml(state, host);
    else
        convertToText(state, host);

    host.setBusyCursor(false);
    const bool written = state.colorDialogCloses == 2;
    if (!settings.commandLineRun) {
        if (written) {
            host.setStatusText(runtext::Cleared);
            state.selection.clear();
            host.selectionCleared();
        }
        host.endProgressDisplay();
    }
    if (written)
        state.selection.clear(); // the stored pairs too, also after a command-line start
    if (settings.speedUp == 1)
        host.setMainWindowVisible(true);
    host.runFinished();
    host.focusOffscreen();
}
