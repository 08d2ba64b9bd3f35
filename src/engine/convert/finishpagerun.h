#pragma once

struct AppState;
class RunHost;

// Ends the run: when the settings ask for it, every folder that received pages gets its index
// page. A failure is reported through the host; returns false when any index, or any file a
// page needs beside it, was not written.
bool finishPageRun(AppState &state, RunHost &host);
