#pragma once

#include "engine/pagerun.h"
#include "engine/read/shared/chatplaces.h"
#include "engine/runlogs.h"
#include "engine/selection.h"
#include "settings/palette.h"
#include "settings/settings.h"

// The one application state: owned by the application, handed to the windows and the run.
struct AppState
{
    Settings settings;
    Palette palette;
    Selection selection;
    // Outcome of the last converted log: 2 = it was written (text), or its colour dialog was
    // confirmed and the page written (HTML). Never reset by a run itself.
    int colorDialogCloses = 0;
    // Logs besides the selection that no output may replace: the batch run converts its
    // command line one log per run and names all of its logs here.
    RunLogs otherLogs;
    // The run's selected logs are exports of one chat, written as one output (read/mergedlog.h),
    // named after the first of them; set for one run.
    bool mergeLogs = false;
    // What the HTML run carries from log to log (colours by name, pages for the index).
    PageRun pageRun;
    // Where the chats of the exports read so far start in their files, so that the chats of
    // one export are each read from their own place (mutable: a note of what was read).
    mutable ChatPlaces chatPlaces;
};
