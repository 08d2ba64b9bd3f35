#pragma once

#include "engine/page/provenance.h"
#include "engine/read/logreader.h"

#include <QString>

class RedactedNames;
class SourceHashes;

// The provenance of a run's outputs (engine/page/provenance.h): which file each came from and
// its checksum, when and by what it was converted.

// When the conversion happened: SOURCE_DATE_EPOCH where it is set (outputs that can be made
// again byte for byte), else now; as UTC in ISO 8601.
QString conversionTime();

// Starts hashing the file a log comes from while the log is read (SourceHashes::start).
void startSourceHash(const QString &logPath, SourceHashes &hashes);
// The file behind `logPath` (a chat of an export that holds many stands for the export), named
// as seen from `pageFolder`. A folder is named without a hash, and the note says so.
ProvenanceSource sourceOf(const QString &logPath, const QString &pageFolder, SourceHashes &hashes);

// The provenance of an output written at `outputPath` from `sources` (one log, or the exports
// merged into it); file names are redacted with `names` when given.
Provenance provenanceOf(const QList<LogReader::SourceRead> &sources, const QString &outputPath,
                        const QString &timeZone, SourceHashes &hashes, const RedactedNames *names);
