// Settings file documents: parsing keeps every byte, a write reads back through the reading
// rules (blanks and one pair of quotes removed, at most 1023 bytes, up to a NUL, empty =
// missing), and no line the write does not touch changes.
//
// Input: a control byte, then a value, then 0x00 0x00, then the document's bytes.
#include "codec/cp932.h"
#include "settings/inifile.h"

#include <QList>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// Lines as the document splits them: at LF, CR LF or a lone CR, each with its line end.
QList<QByteArray> splitLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        if (end < bytes.size()) {
            if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
                ++end;
            ++end;
        }
        lines.append(bytes.mid(start, end - start));
        start = end;
    }
    return lines;
}

QByteArray withoutLineEnd(QByteArray line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line;
}

// Equal, or equal but for a line end the write had to add to the file's last line.
bool sameLine(const QByteArray &before, const QByteArray &after)
{
    return before == after || (withoutLineEnd(before) == before && withoutLineEnd(after) == before);
}

// The reference for what a stored value reads back as.
QString expectedValue(const QString &written, const QString &defaultValue)
{
    QString v = written;
    v.replace(QLatin1String("\r\n"), QLatin1String(" "));
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    v = cp932::decode(cp932::encode(v));
    qsizetype b = 0, e = v.size();
    while (b < e && (v[b] == QLatin1Char(' ') || v[b] == QLatin1Char('\t')))
        ++b;
    while (e > b && (v[e - 1] == QLatin1Char(' ') || v[e - 1] == QLatin1Char('\t')))
        --e;
    v = v.mid(b, e - b);
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\''))
        && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    if (v.isEmpty())
        return defaultValue;
    QString cut;
    qsizetype bytes = 0;
    for (const QChar c : v) {
        bytes += cp932::encodedLength(QString(c));
        if (bytes > 1023)
            break;
        cut += c;
    }
    const qsizetype nul = cut.indexOf(QChar(0));
    if (nul == 0)
        return defaultValue; // empty up to its NUL: missing too
    return nul > 0 ? cut.first(nul) : cut;
}

// Section and key names from a small alphabet that the format can always hold.
QString nameFrom(uint8_t control, const char *stem)
{
    static const char16_t extra[] = {u'a', u'B', u'_', u'ｶ', u'色', u'1'};
    QString name = QString::fromLatin1(stem);
    name += QChar(extra[control % 6]);
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray all(reinterpret_cast<const char *>(data), qsizetype(size));
    const uint8_t control = data[0];
    qsizetype split = all.indexOf(QByteArrayView("\0\0", 2), 1);
    if (split < 0)
        split = 1;
    const QString value = cp932::decode(QByteArrayView(all).sliced(1, split - 1));
    const QByteArray file = all.mid(split + (split > 1 ? 2 : 0));

    IniDocument doc(file);
    check(doc.bytes() == file);

    const QString section = nameFrom(control & 7, (control & 8) ? "Color" : "Sec");
    const QString key = nameFrom((control >> 4) & 7, (control & 0x80) ? "No_" : "Key");
    const QString fallback = QStringLiteral("<default>");
    doc.setValue(section, key, value);

    const QByteArray written = doc.bytes();
    const IniDocument reread(written);
    check(reread.bytes() == written);
    check(reread.value(section, key, fallback) == expectedValue(value, fallback));

    // The same write again changes nothing more.
    IniDocument again(written);
    again.setValue(section, key, value);
    check(again.bytes() == written);

    // Every line but the key's own (replaced) or the one or two added is kept.
    const QList<QByteArray> a = splitLines(file), b = splitLines(written);
    qsizetype head = 0;
    while (head < a.size() && head < b.size() && sameLine(a[head], b[head]))
        ++head;
    qsizetype tail = 0;
    while (tail < a.size() - head && tail < b.size() - head
           && sameLine(a[a.size() - 1 - tail], b[b.size() - 1 - tail]))
        ++tail;
    const qsizetype removed = a.size() - head - tail, added = b.size() - head - tail;
    check(removed <= 1 && added <= 2 && added >= removed);
    return 0;
}
