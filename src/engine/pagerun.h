#pragma once

#include "pageindex.h"

#include <QHash>
#include <QList>
#include <QString>

struct AppState;
class RunHost;

// What one conversion run remembers from log to log: the palette entry each speaker name was
// given (so that a name met again keeps its colour across an archive, in the modern style),
// and the pages it wrote (for the folders' index pages). The window's run is one call of
// mnuRun_Click; the batch run spans all of its logs.
struct PageRun
{
    bool open = false;
    QHash<QString, int> paletteNumbers; // speaker name -> palette entry number
    QList<IndexEntry> pages; // output path in `page`, in the order written

    void begin()
    {
        open = true;
        paletteNumbers.clear();
        pages.clear();
    }
};

// Ends the run: when the settings ask for it, every folder that received pages gets its index
// page. A failure is reported through the host; returns false when any index was not written.
bool finishPageRun(AppState &state, RunHost &host);
