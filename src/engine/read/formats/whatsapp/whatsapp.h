#pragma once

#include "engine/read/formats/chatformat.h"

// WhatsApp's text exports, known by sight: "12/31/20, 9:03 PM - Name: text",
// "[31/12/2020, 21:03:07] Name: text".
class WhatsAppFormat : public ChatFormat
{
public:
    FormatId id() const override { return FormatId::WhatsApp; }
    bool isRead() const override { return false; }
    bool looksLike(QStringView head) const override;
    const char *notReadText() const override;
};
