#include "engine/read/formats/kakaotalk/kakaotalk.h"

#include "engine/read/chat/recordlines.h"
#include "engine/read/formats/kakaotalk/kakaotalklines.h"
#include "engine/read/formats/kakaotalk/kakaotalkrecords.h"

QStringList KakaoTalkFormat::extensions() const
{
    return {QStringLiteral("TXT"), QStringLiteral("txt")};
}

Sureness KakaoTalkFormat::byHead(QStringView head) const
{
    // The first two lines that are not blank: the title and the date the export was saved, or,
    // where those were cut off, two records of which the first is Korean or a desktop day line.
    QStringView lines[2];
    int found = 0;
    for (QStringView line : head.left(8192).split(u'\n')) {
        line = line.trimmed();
        if (!line.isEmpty())
            lines[found++] = line;
        if (found == 2)
            break;
    }
    if (found < 2)
        return Sureness::No;
    using kakaotalk::Line;
    if (kakaotalk::isTitle(lines[0]) && kakaotalk::isSavedLine(lines[1]))
        return Sureness::Sure;
    const bool korean = lines[0].startsWith(u"---------------") || lines[0].contains(u'년')
        || lines[0].contains(u"오전") || lines[0].contains(u"오후");
    return korean && kakaotalk::parseLine(lines[0]).kind != Line::Kind::Text
            && kakaotalk::parseLine(lines[1]).kind != Line::Kind::Text
        ? Sureness::Sure
        : Sureness::No;
}

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

const char *KakaoTalkFormat::noMessagesText() const
{
    return QT_TRANSLATE_NOOP("RunMessage",
                             "カカオトークの書き出しですが、メッセージが一つもありませんでした。");
}

std::unique_ptr<FormatReader> KakaoTalkFormat::reader(const ReadSource &source) const
{
    return std::make_unique<RecordLines>(
        std::make_unique<KakaoTalkRecords>(source.file, source.detection, source.pieceDone),
        source);
}
