#include "engine/convert/bytelog.h"

#include "engine/read/exportpaths.h"
#include "engine/read/logreader.h"
#include "fileio/inputfile.h"

std::unique_ptr<ByteLines> byteLines(const LogReader &reader, bool redact, QFile &file)
{
    const LogFormat &format = reader.format();
    const textcodec::Encoding encoding = format.detection.encoding;
    if (redact || reader.failed() || !format.known || format.merged
        || format.format != FormatId::TextLog
        || (encoding != textcodec::Encoding::ShiftJis && encoding != textcodec::Encoding::Utf8)
        || exportpaths::split(reader.path())
        || fileio::openForReading(reader.path(), file) != fileio::ReadOpen::Ok)
        return nullptr;
    return std::make_unique<ByteLines>(file, format.detection);
}

void skipLinesRead(LogReader &reader, qsizetype lines)
{
    QString line;
    for (; lines > 0 && reader.readLine(line); --lines) { }
}
