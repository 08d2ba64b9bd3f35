#pragma once

#include "engine/read/formats/chatformat.h"

#include <QByteArrayView>

// The XML histories of MSN Messenger and Windows Messenger, known by their extension and read
// in their own declared encoding (xmllog.h).
class XmlHistoryFormat : public ChatFormat
{
public:
    FormatId id() const override { return FormatId::XmlHistory; }
    QStringList extensions() const override;
    QString dialogName() const override;
    Sureness byName(QStringView name) const override;
    std::unique_ptr<FormatReader> reader(const ReadSource &source) const override;

    // For a log without a name (standard input): whether its first bytes are an XML
    // declaration, "<?xml" in UTF-8 (after a byte order mark or blanks) or in UTF-16 after its
    // byte order mark.
    static bool startsLikeXml(QByteArrayView head);
};
