#pragma once

#include "engine/read/formats/chatformat.h"

// Logs with a header line for every utterance (the speaker's name and the header text in
// force), in Shift-JIS, UTF-8 or UTF-16: the format every file is read as when no other is sure
// of it. Its lines carry no roles; the line tests sort them.
class TextLogFormat : public ChatFormat
{
public:
    FormatId id() const override { return FormatId::TextLog; }
    QStringList extensions() const override;
    QString dialogName() const override;
    Sureness byHead(QStringView) const override { return Sureness::Perhaps; }
    std::unique_ptr<FormatReader> reader(const ReadSource &source) const override;
};
