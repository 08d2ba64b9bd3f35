#include "engine/read/formats/whatsapp/whatsapp.h"

#include "engine/read/chat/aheadrecords.h"
#include "engine/read/chat/recordlines.h"
#include "engine/read/formats/whatsapp/whatsapphead.h"
#include "engine/read/formats/whatsapp/whatsappreader.h"

#include <QRegularExpression>
#include <QStringTokenizer>

namespace {

// The first line that is not blank starts a record.
bool startsAsWhatsApp(QStringView head)
{
    for (QStringView line : qTokenize(head, u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const auto record = whatsapp::parseHead(line);
        return record && !record->rest.trimmed().isEmpty();
    }
    return false;
}

} // namespace

QStringList WhatsAppFormat::extensions() const
{
    return {QStringLiteral("TXT"), QStringLiteral("txt")};
}

Sureness WhatsAppFormat::byHead(QStringView head) const
{
    return startsAsWhatsApp(head) ? Sureness::Sure : Sureness::No;
}

std::unique_ptr<FormatReader> WhatsAppFormat::reader(const ReadSource &source) const
{
    return std::make_unique<RecordLines>(readAhead(std::make_unique<WhatsAppReader>(source)),
                                         source);
}

bool WhatsAppFormat::looksLike(QStringView head) const
{
    if (startsAsWhatsApp(head))
        return false;
    static const QRegularExpression form(
        QStringLiteral("^\\[?(\\d{1,4}[/.\\-]\\d{1,2}[/.\\-]\\d{1,4},? \\d{1,2}:\\d{2}(:\\d{2})?"
                       "( ?[APap]\\.?[Mm]\\.?)?|\\d{1,2}:\\d{2}( ?[APap]\\.?[Mm]\\.?)?, "
                       "\\d{1,4}[/.\\-]\\d{1,2}[/.\\-]\\d{1,4})\\]?( -)? [^:]{1,80}: "));
    int lines = 0;
    for (const QStringView line : head.split(u'\n')) {
        if (++lines > 20)
            break;
        if (form.match(line.trimmed().toString()).hasMatch())
            return true;
    }
    return false;
}

const char *WhatsAppFormat::notReadText() const
{
    return QT_TRANSLATE_NOOP(
        "RunMessage", "WhatsApp のトークの書き出しのようですが、読める形ではありませんでした。");
}

const char *WhatsAppFormat::noMessagesText() const
{
    return QT_TRANSLATE_NOOP(
        "RunMessage", "WhatsApp のトークの書き出しですが、メッセージが一つもありませんでした。");
}
