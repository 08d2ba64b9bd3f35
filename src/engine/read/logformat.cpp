#include "engine/read/logformat.h"

using textcodec::Encoding;

Encoding LogFormat::textEncoding() const
{
    if (xml())
        return textInUtf8 ? Encoding::Utf8 : Encoding::ShiftJis;
    if (lineExport() || chatExport())
        return Encoding::Utf8;
    return detection.encoding;
}

bool LogFormat::textMark() const
{
    if (chatExport())
        return true;
    return xml() ? textInUtf8 : detection.bomBytes > 0;
}

QByteArray LogFormat::textLineEnd() const
{
    // A log without any line end has CR LF as its line end (textcodec::Detector).
    return textLineEnd(xml() || chatExport() ? textcodec::LineEnd::CrLf : detection.lineEnd);
}

QByteArray LogFormat::textLineEnd(textcodec::LineEnd end) const
{
    QByteArray bytes;
    textcodec::encodeAppend(end == textcodec::LineEnd::CrLf     ? textcodec::CrLf
                                : end == textcodec::LineEnd::Lf ? QStringView(u"\n")
                                                                : QStringView(u"\r"),
                            textEncoding(), bytes);
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
    return !xml() && (lineExport() || chatExport() || detection.encoding != Encoding::ShiftJis);
}
