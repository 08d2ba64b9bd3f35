#pragma once

#include "engine/read/formats/chatformat.h"

// WhatsApp's text export of one chat, as Android phones ("WhatsApp Chat with Ann.txt") and
// iPhones ("_chat.txt" in a ZIP) write it in every phone language: "15/01/2020, 21:03 - Ann:
// text", "[1/15/20, 9:03:07 PM] Ann: text" (whatsappreader.h). Times are as the phone showed
// them.
class WhatsAppFormat : public ChatFormat
{
public:
    FormatId id() const override { return FormatId::WhatsApp; }
    QStringList extensions() const override;
    Sureness byHead(QStringView head) const override;
    std::unique_ptr<FormatReader> reader(const ReadSource &source) const override;
    // Lines that look like WhatsApp's in a form not read: messages copied out of the app
    // ("[21:03, 15/01/2020] Ann: text"), or dates it does not write.
    bool looksLike(QStringView head) const override;
    const char *notReadText() const override;
    const char *noMessagesText() const override;
};
