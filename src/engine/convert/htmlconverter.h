#pragma once

struct AppState;
class RunHost;

// Converts every selected log into an HTML page next to it, in the page style the settings
// choose (engine/page/pagewriter.h): each speaker's utterances in a colour of their own (as the
// style deals them, or by message rule, then as the speaker colour dialog left them). Closing
// the colour dialog without OK stops the whole run.
void convertToHtml(AppState &state, RunHost &host);
