#include "engine/read/formats/xmlhistory/xmlhistory.h"

QStringList XmlHistoryFormat::extensions() const
{
    return {QStringLiteral("XML"), QStringLiteral("xml")};
}

QString XmlHistoryFormat::dialogName() const
{
    return QStringLiteral("MSNのログ");
}

Sureness XmlHistoryFormat::byName(QStringView name) const
{
    return name.endsWith(u"xml") || name.endsWith(u"XML") ? Sureness::Sure : Sureness::No;
}

bool XmlHistoryFormat::startsLikeXml(QByteArrayView head)
{
    static constexpr char Declaration[] = "<?xml";
    const auto utf16 = [head](qsizetype firstByte) {
        for (qsizetype k = 0; k < 5; ++k) {
            const qsizetype at = 2 + 2 * k;
            if (at + 1 >= head.size() || head[at + firstByte] != Declaration[k]
                || head[at + 1 - firstByte] != 0)
                return false;
        }
        return true;
    };
    if (head.startsWith("\xFF\xFE"))
        return utf16(0);
    if (head.startsWith("\xFE\xFF"))
        return utf16(1);
    if (head.startsWith("\xEF\xBB\xBF"))
        head = head.sliced(3);
    while (!head.isEmpty()
           && (head[0] == ' ' || head[0] == '\t' || head[0] == '\r' || head[0] == '\n'))
        head = head.sliced(1);
    return head.startsWith(Declaration);
}
