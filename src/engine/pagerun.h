#pragma once

#include "engine/page/distinctcolors.h"
#include "engine/page/index/pageindex.h"
#include "engine/page/index/termspill.h"
#include "engine/sourcehashes.h"
#include "engine/text/redaction.h"

#include <QHash>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

// The colours a run carries by name from log to log, as palette entry numbers (or numbers of
// the distinct colours' own, distinctcolors.h). A colour is chosen when the user picked it: changed
// in the colour dialog, or confirmed there for the rest of the run; it stays on every page, as a
// rule's does. One the run dealt itself makes way on a page where a chosen colour, a rule's or a
// name given the same colour earlier holds it (speakercolors.h).
class CarriedColors
{
public:
    struct Color
    {
        int number = 0;
        bool chosen = false;
        qsizetype since = 0; // the order in which the run gave the names their colours
    };

    const Color *find(const QString &name) const
    {
        const auto it = m_colors.constFind(name);
        return it == m_colors.cend() ? nullptr : &*it;
    }
    // A name met again with the same number keeps its place in the order, and stays chosen.
    void remember(const QString &name, int number, bool chosen)
    {
        Color &c = m_colors[name];
        if (c.number == number && c.since > 0) {
            c.chosen |= chosen;
            return;
        }
        c = {number, chosen, ++m_given};
    }
    qsizetype size() const { return m_colors.size(); }
    bool isEmpty() const { return m_colors.isEmpty(); }

private:
    QHash<QString, Color> m_colors;
    qsizetype m_given = 0;
};

// What one conversion run remembers from log to log: the palette entry each speaker name was
// given (so that a name met again keeps its colour across an archive, in a style that deals
// distinct colours),
// and the pages it wrote (for the folders' index pages). The window's run is one call of
// mnuRun_Click; the batch run spans all of its logs.
struct PageRun
{
    bool open = false;
    // Every name so far where the style deals distinct colours (pagewriter.h); otherwise the
    // names met once the colours were kept for the rest of the run.
    CarriedColors carried;
    QList<IndexEntry> pages; // output path in `page`, in the order written
    // The user confirmed the colours for the rest of the run: the remaining logs go without
    // the colour dialog, each name with the entry chosen for it (or given it in a later log).
    bool colorsForRest = false;
    // The turn of distinct colours, worked out once for a run of a style that deals them.
    std::optional<distinct::ColorTurn> turn;
    // A file a page needs beside it (its search data) was not written.
    bool filesNotWritten = false;
    // When the outputs are redacted: the stand-in of every name met so far, text outputs too.
    RedactedNames names;
    // The checksums of the sources the outputs name (provenancerun.h), each file hashed once.
    SourceHashes hashes;
    // The search terms of the pages written, for the indexes.
    std::shared_ptr<TermSpill> terms = std::make_shared<TermSpill>();

    void begin()
    {
        *this = PageRun();
        open = true;
    }
};
