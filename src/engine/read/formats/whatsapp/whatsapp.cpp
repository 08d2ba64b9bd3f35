#include "engine/read/formats/whatsapp/whatsapp.h"

#include <QRegularExpression>

bool WhatsAppFormat::looksLike(QStringView head) const
{
    static const QRegularExpression form(
        QStringLiteral("^\\[?\\d{1,4}[/.\\-]\\d{1,2}[/.\\-]\\d{1,4},? \\d{1,2}:\\d{2}(:\\d{2})?( "
                       "?[APap]\\.?[Mm]\\.?)?"
                       "\\]?( -)? [^:]{1,80}: "));
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
    return QT_TRANSLATE_NOOP("RunMessage",
                             "WhatsApp のトークの書き出しのようです。この形は読めません。");
}
