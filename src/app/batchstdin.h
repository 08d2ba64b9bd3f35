#pragma once

#include "batchstreams.h"

struct AppState;
class BatchHost;

enum class PipeOutcome {
    Written, // in full
    NotWritten, // and reported
    ReaderGone, // standard output's reader stopped reading; nothing reported
};

// Converts the log on `streams.in` and writes its output to `streams.out`, nothing else: the
// log is copied into a private temporary folder first, as a conversion reads it more than
// once. It is read as an XML history when it starts like one. Messages name it "standard
// input". The temporary folder is gone when it returns.
PipeOutcome convertStandardInput(AppState &state, BatchHost &host, StandardStreams streams);
