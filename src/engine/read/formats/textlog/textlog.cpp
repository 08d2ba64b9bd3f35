#include "engine/read/formats/textlog/textlog.h"

QStringList TextLogFormat::extensions() const
{
    return {QStringLiteral("TXT"), QStringLiteral("txt")};
}

QString TextLogFormat::dialogName() const
{
    return QStringLiteral("めせのログ");
}
