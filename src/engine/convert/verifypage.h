#pragma once

#include "engine/page/provenance.h"

#include <QList>
#include <QString>
#include <QStringList>

// `pelorin --verify PAGE [SOURCE…]`: whether the files a page names at its end are still the
// ones it was made of.

struct SourceCheck
{
    enum class State {
        Same,
        Changed,
        Missing, // no such file where it was looked for
        NotHashed, // the page names it without a checksum (a folder): nothing to compare
    };
    ProvenanceSource named; // as the page names it
    QString path; // where it was looked for
    State state = State::Missing;
};

struct PageCheck
{
    enum class Outcome {
        Checked,
        PageNotRead, // `error` says why
        NoProvenance, // the page says nothing of where it came from
    };
    Outcome outcome = Outcome::PageNotRead;
    QString error;
    QList<SourceCheck> sources;

    bool allSame() const;
};

// Reads the provenance at the end of the page at `pagePath` and hashes each source again: the
// n-th at `given[n]` when the caller names it, else at the path the page stores, from the
// page's folder.
PageCheck verifyPage(const QString &pagePath, const QStringList &given);
