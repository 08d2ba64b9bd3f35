#include "engine/read/formats/lineexport/lineexportformat.h"

#include "engine/read/formats/lineexport/lineexport.h"

QStringList LineExportFormat::extensions() const
{
    return {QStringLiteral("TXT"), QStringLiteral("txt")};
}

Sureness LineExportFormat::byHead(QStringView head) const
{
    return startsAsLineExport(head) ? Sureness::Sure : Sureness::No;
}

bool LineExportFormat::looksLike(QStringView head) const
{
    const qsizetype newline = head.indexOf(u'\n');
    const QStringView first = newline < 0 ? head : head.first(newline);
    return first.startsWith(u"[LINE]") || first.contains(u"トーク履歴")
        || first.contains(u"聊天記錄") || first.startsWith(u"Chat history");
}

const char *LineExportFormat::notReadText() const
{
    return QT_TRANSLATE_NOOP("RunMessage",
                             "LINE のトーク履歴のようですが、読める形ではありませんでした。");
}

const char *LineExportFormat::noMessagesText() const
{
    return QT_TRANSLATE_NOOP("RunMessage",
                             "LINE のトーク履歴ですが、メッセージが一つもありませんでした。");
}
