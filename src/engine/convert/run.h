#pragma once

struct AppState;
class RunHost;

// The conversion run started by "実行っ(&R)" (and by the command-line start): converts every
// selected log with the converter that changeType names, then clears the selection when the
// last log was written. With nothing selected it only complains.
void mnuRun_Click(AppState &state, RunHost &host);
