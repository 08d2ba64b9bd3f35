#pragma once

#include "engine/read/formats/chatformat.h"

// Files a user may pick by mistake for a log, known by sight so that the message says what they
// are: JSON data (as several messengers export) and HTML pages (perhaps one this program wrote).
class JsonDataFormat : public ChatFormat
{
public:
    FormatId id() const override { return FormatId::Json; }
    bool isRead() const override { return false; }
    bool looksLike(QStringView head) const override;
    const char *notReadText() const override;
};

class HtmlPageFormat : public ChatFormat
{
public:
    FormatId id() const override { return FormatId::Html; }
    bool isRead() const override { return false; }
    bool looksLike(QStringView head) const override;
    const char *notReadText() const override;
};
