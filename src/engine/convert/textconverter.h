#pragma once

struct AppState;
class RunHost;

// Converts every selected log into an indented text file next to it: message and notice
// lines move one tab to the right so the speaker header lines stand out.
void convertToText(AppState &state, RunHost &host);
