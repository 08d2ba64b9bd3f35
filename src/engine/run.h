#pragma once

#include <QString>

struct AppState;
class RunHost;

// The conversion run started by "実行っ(&R)" (and by the command-line start): converts every
// selected log with the converter that changeType names, then clears the selection when the
// last log was written. With nothing selected it only complains.
void mnuRun_Click(AppState &state, RunHost &host);

// The extension of the outputs the converter that changeType names writes: "htm" or "txt".
QString outputExtension(int changeType);

// Converts every selected log into an indented text file next to it: message and notice
// lines move one tab to the right so the speaker header lines stand out.
void convertToText(AppState &state, RunHost &host);
