#pragma once

#include "engine/read/formats/chatformat.h"

// KakaoTalk's text exports (.txt, among the text logs' files) from its desktop app and its phone
// apps, in Korean or English (kakaotalklines.h), read into records (kakaotalkrecords.h). Times
// are as the exporting device showed them.
class KakaoTalkFormat : public ChatFormat
{
public:
    FormatId id() const override { return FormatId::KakaoTalk; }
    QStringList extensions() const override;
    Sureness byHead(QStringView head) const override;
    bool looksLike(QStringView head) const override;
    const char *notReadText() const override;
    const char *noMessagesText() const override;
    std::unique_ptr<FormatReader> reader(const ReadSource &source) const override;
};
