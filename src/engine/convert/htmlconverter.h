#pragma once

struct AppState;
class RunHost;

// Converts every selected log into an HTML page next to it: each speaker's utterances in a
// CSS class and colour of their own (from the palette in turn, or by message rule, then as the
// speaker colour dialog left them), headed by the legend table. Closing the colour dialog
// without OK stops the whole run.
void convertToHtml(AppState &state, RunHost &host);
