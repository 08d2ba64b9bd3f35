#include "engine/read/formats/formats.h"

#include "engine/read/formats/discord/discord.h"
#include "engine/read/formats/kakaotalk/kakaotalk.h"
#include "engine/read/formats/lineexport/lineexportformat.h"
#include "engine/read/formats/meta/meta.h"
#include "engine/read/formats/sighted/datafiles.h"
#include "engine/read/formats/skype/skype.h"
#include "engine/read/formats/slack/slack.h"
#include "engine/read/formats/telegram/telegram.h"
#include "engine/read/formats/textlog/textlog.h"
#include "engine/read/formats/whatsapp/whatsapp.h"
#include "engine/read/formats/xarchive/xarchive.h"
#include "engine/read/formats/xmlhistory/xmlhistory.h"

#include <algorithm>
#include <array>

namespace formats {

namespace {

const XmlHistoryFormat XmlHistory;
const JsonDataFormat JsonData;
const HtmlPageFormat HtmlPage;
const LineExportFormat LineExport;
const TelegramFormat Telegram;
const SkypeFormat Skype;
const MetaFormat Meta;
const SlackFormat Slack;
const DiscordFormat Discord;
const WhatsAppFormat WhatsApp;
const KakaoTalkFormat KakaoTalk;
const XArchiveFormat XArchive;
const TextLogFormat TextLog;

// In this order: a format sure of a file takes it, else the first that perhaps does (the text
// log, which takes any text); the file dialog and the messages name them in it too.
const std::array<const ChatFormat *, 13> List = {
    &TextLog, // old messenger logs: a header line for every utterance
    &XmlHistory, // MSN Messenger / Windows Messenger histories
    &JsonData, // known by sight: JSON data that is no chat
    &HtmlPage, // known by sight: HTML pages
    &LineExport, // LINE
    &Telegram, // Telegram Desktop
    &Discord, // Discord
    &Skype, // Skype
    &Meta, // Instagram and Facebook Messenger
    &Slack, // Slack
    &WhatsApp, // WhatsApp
    &KakaoTalk, // KakaoTalk
    &XArchive, // X's account archive
};

} // namespace

std::span<const ChatFormat *const> all()
{
    return List;
}

const ChatFormat &format(FormatId id)
{
    for (const ChatFormat *f : List) {
        if (f->id() == id)
            return *f;
    }
    return TextLog;
}

FormatId byName(QStringView fileName)
{
    for (const ChatFormat *f : List) {
        if (f->isRead() && f->byName(fileName) == Sureness::Sure)
            return f->id();
    }
    return FormatId::TextLog;
}

FormatId byHead(QStringView head)
{
    const ChatFormat *perhaps = nullptr;
    for (const ChatFormat *f : List) {
        if (!f->isRead())
            continue;
        const Sureness sure = f->byHead(head);
        if (sure == Sureness::Sure)
            return f->id();
        if (sure == Sureness::Perhaps && !perhaps)
            perhaps = f;
    }
    return perhaps ? perhaps->id() : FormatId::TextLog;
}

bool isLogName(QStringView path)
{
    // Asked once per name of a folder of any size: the formats' extensions are gathered once.
    static const QStringList Read = [] {
        QStringList exts;
        for (const ChatFormat *f : List) {
            if (f->isRead())
                exts += f->extensions();
        }
        exts.removeDuplicates();
        return exts;
    }();
    const qsizetype dot = path.lastIndexOf(u'.');
    const qsizetype slash = qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return dot > slash && Read.contains(path.sliced(dot + 1));
}

bool isPartOfLog(const QString &path)
{
    return std::any_of(List.begin(), List.end(), [&path](const ChatFormat *f) {
        return f->isRead() && f->isPartOfLog(path);
    });
}

QString extensionList()
{
    QStringList seen;
    for (const ChatFormat *f : List) {
        const QStringList exts = f->extensions();
        if (f->isRead() && !exts.isEmpty() && !seen.contains(exts.last()))
            seen.append(exts.last()); // the lower-case form, listed last
    }
    return u'.' + seen.join(QStringLiteral("・."));
}

QString dialogFilter()
{
    // Every log first, then each format's own files.
    QStringList filters;
    QStringList every;
    for (const ChatFormat *f : List) {
        if (!f->isRead() || f->dialogName().isEmpty())
            continue;
        QStringList patterns;
        for (const QString &ext : f->extensions())
            patterns.append(QStringLiteral("*.") + ext);
        filters.append(f->dialogName() + QStringLiteral(" (") + patterns.join(u' ') + u')');
        for (const QString &pattern : patterns) {
            if (!every.contains(pattern))
                every.append(pattern);
        }
    }
    filters.prepend(QStringLiteral("すべてのログ (") + every.join(u' ') + u')');
    return filters.join(QStringLiteral(";;"));
}

QString extensionForBytes(QByteArrayView head)
{
    return XmlHistoryFormat::startsLikeXml(head) ? XmlHistory.extensions().last()
                                                 : TextLog.extensions().last();
}

const ChatFormat *lookalike(QStringView head)
{
    head = head.trimmed();
    for (const ChatFormat *f : List) {
        if (f->looksLike(head))
            return f;
    }
    return nullptr;
}

} // namespace formats
