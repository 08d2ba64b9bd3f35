#include "htmlconverter.h"

// TEMPORARY: replaced by the HTML page writer.
void convertToHtml(AppState &, RunHost &) { }
