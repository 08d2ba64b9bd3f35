#pragma once

struct AppState;
class RunHost;

// Converts every selected log into an HTML page next to it.
void convertToHtml(AppState &state, RunHost &host);
