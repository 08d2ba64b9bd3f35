#pragma once

#include "engine/read/formats/chatformat.h"

// KakaoTalk's text exports, known by sight: "Ann 님과 카카오톡 대화", day lines
// "--------------- 2019년 7월 10일 수요일 ---------------".
class KakaoTalkFormat : public ChatFormat
{
public:
    FormatId id() const override { return FormatId::KakaoTalk; }
    bool isRead() const override { return false; }
    bool looksLike(QStringView head) const override;
    const char *notReadText() const override;
};
