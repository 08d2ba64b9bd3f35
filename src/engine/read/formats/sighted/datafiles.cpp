#include "engine/read/formats/sighted/datafiles.h"

bool JsonDataFormat::looksLike(QStringView head) const
{
    return head.startsWith(u'{')
        || (head.startsWith(u'[') && head.sliced(1).trimmed().startsWith(u'{'));
}

const char *JsonDataFormat::notReadText() const
{
    return QT_TRANSLATE_NOOP("RunMessage",
                             "JSON のデータのようです。チャットのログとしては読めません。");
}

bool HtmlPageFormat::looksLike(QStringView head) const
{
    return head.startsWith(u"<!DOCTYPE", Qt::CaseInsensitive)
        || head.startsWith(u"<html", Qt::CaseInsensitive);
}

const char *HtmlPageFormat::notReadText() const
{
    return QT_TRANSLATE_NOOP("RunMessage",
                             "HTML のページのようです。チャットのログとしては読めません。");
}
