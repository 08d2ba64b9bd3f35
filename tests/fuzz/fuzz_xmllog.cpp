// The messenger's XML histories are untrusted: whatever the bytes, reading ends quickly, loads
// nothing from outside, and gives either "not loaded" with no text, or header/message text
// whose size stays proportional to the file (no entity expansion) and whose lines end in CR LF;
// every time noted points at a line of that text. The byte reader and the parser give the same
// text, roles, places and dates, and refuse the same documents.
#include "engine/read/formats/xmlhistory/xmllog.h"
#include "engine/read/linestamps.h"

#include <QByteArray>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

struct Reading
{
    bool ok = false;
    QString text;
    QByteArray roles;
    QList<qint64> places;
    QStringList stamps; // each stamp's line, date, time and recipients
};

Reading read(const QByteArray &bytes, const QString &header, XmlReading way)
{
    Reading r;
    LineStamps stamps;
    r.text = readXmlLogData(bytes, header, &r.ok, &stamps, &r.roles, &r.places, way);
    LineStamps::Cursor cursor(stamps);
    const qsizetype lines = r.text.count(QStringLiteral("\r\n"));
    for (qsizetype line = 0; line < lines; ++line) {
        QString date, time, to;
        if (cursor.at(line, &date, &time, nullptr, &to))
            r.stamps << QString::number(line) + u'|' + date + u'|' + time + u'|' + to;
    }
    return r;
}

// Element by element: QList's own comparison hands memcmp the null data of two empty lists.
template<typename List> bool same(const List &a, const List &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

bool operator==(const Reading &a, const Reading &b)
{
    return a.ok == b.ok && a.text == b.text && a.roles == b.roles && same(a.places, b.places)
        && same(a.stamps, b.stamps);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString header = QStringLiteral("の発言：");
    bool ok = true;
    LineStamps stamps;
    const QString text = readXmlLogData(bytes, header, &ok, &stamps);
    if (!ok && !text.isEmpty())
        std::abort();
    if (ok) {
        if (!text.isEmpty() && !text.endsWith(QStringLiteral("\r\n")))
            std::abort();
        if (text.size() > 8 * qsizetype(size) + 64)
            std::abort();
        // Every stamp points at a line the text has (the line that opens its event).
        const qsizetype lines = text.count(QStringLiteral("\r\n"));
        LineStamps::Cursor cursor(stamps);
        QString date, time;
        qsizetype found = 0;
        for (qsizetype line = 0; line < lines; ++line)
            found += cursor.at(line, &date, &time) ? 1 : 0;
        if (found != stamps.size())
            std::abort();
        // Every CR is followed by LF and every LF preceded by CR.
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n'))
                std::abort();
            if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
                std::abort();
        }
    }
    const Reading parser = read(bytes, header, XmlReading::ParserOnly);
    const Reading bytesAlone = read(bytes, header, XmlReading::BytesOnly);
    if (!(read(bytes, header, XmlReading::Any) == parser)
        || (bytesAlone.ok && !(bytesAlone == parser)))
        std::abort();
    return 0;
}
