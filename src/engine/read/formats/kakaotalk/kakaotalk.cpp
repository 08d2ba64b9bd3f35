#include "engine/read/formats/kakaotalk/kakaotalk.h"

bool KakaoTalkFormat::looksLike(QStringView head) const
{
    int lines = 0;
    for (QStringView line : head.split(u'\n')) {
        if (++lines > 20)
            break;
        line = line.trimmed();
        if ((line.startsWith(u"---------------") && line.contains(u"년"))
            || line.endsWith(u"님과 카카오톡 대화") || line.contains(u"KakaoTalk Chats with"))
            return true;
    }
    return false;
}

const char *KakaoTalkFormat::notReadText() const
{
    return QT_TRANSLATE_NOOP("RunMessage",
                             "カカオトークのトークの書き出しのようです。この形は読めません。");
}
