#pragma once

#include "engine/read/formats/chatformat.h"

// LINE talk-history exports (.txt, among the text logs' files), known by their head and turned
// into header lines as they are read (lineexport.h).
class LineExportFormat : public ChatFormat
{
public:
    FormatId id() const override { return FormatId::LineExport; }
    QStringList extensions() const override;
    Sureness byHead(QStringView head) const override;
    bool looksLike(QStringView head) const override;
    const char *notReadText() const override;
    const char *noMessagesText() const override;
    const char *readAsText() const override;
    std::unique_ptr<FormatReader> reader(const ReadSource &source) const override;
};
