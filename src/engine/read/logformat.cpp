#include "engine/read/logformat.h"

using textcodec::Encoding;

Encoding LogFormat::textEncoding() const
{
    if (xml)
        return Encoding::ShiftJis;
    if (lineExport)
        return Encoding::Utf8;
    return detection.encoding;
}

bool LogFormat::textMark() const
{
    return !xml && detection.bomBytes > 0;
}

QByteArray LogFormat::textLineEnd() const
{
    QStringView end = textcodec::CrLf;
    if (!xml && detection.hasLineEnd && detection.lineEnd != textcodec::LineEnd::CrLf)
        end = detection.lineEnd == textcodec::LineEnd::Lf ? u"\n" : u"\r";
    QByteArray bytes;
    textcodec::encodeAppend(end, textEncoding(), bytes);
    return bytes;
}

QByteArray LogFormat::textTab() const
{
    QByteArray bytes;
    textcodec::encodeAppend(u"\t", textEncoding(), bytes);
    return bytes;
}

bool LogFormat::utf8Page() const
{
    return !xml && (lineExport || detection.encoding != Encoding::ShiftJis);
}
