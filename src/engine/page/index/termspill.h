#pragma once

#include "engine/page/index/searchterms.h"

#include <QList>
#include <QTemporaryFile>
#include <memory>
#include <utility>

// The terms of the pages a run writes, counted as their search data is written and kept in a
// temporary file until the run writes its indexes, so that the index need not read that data
// again, and an archive's terms are never all in memory.
class TermSpill
{
public:
    using Terms = QList<std::pair<searchterms::Term, quint32>>;

    // Keeps a page's terms (ascending); where they are, or -1 when they could not be kept.
    qint64 add(const Terms &terms);
    // The terms kept at `at`; false when they cannot be read.
    bool read(qint64 at, Terms &terms) const;

private:
    std::unique_ptr<QTemporaryFile> m_file;
    bool m_failed = false;
};
