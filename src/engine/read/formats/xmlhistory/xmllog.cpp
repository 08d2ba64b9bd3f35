#include "engine/read/formats/xmlhistory/xmllog.h"

#include "engine/read/formats/xmlhistory/xmlbytes.h"
#include "engine/read/formats/xmlhistory/xmlguard.h"
#include "engine/read/formats/xmlhistory/xmlwalker.h"
#include "engine/read/linestamps.h"

#include <QBuffer>
#include <QXmlStreamReader>

namespace {

// Text is handed on in pieces of about this many characters.
constexpr qsizetype PieceChars = 1 << 16;

enum class Outcome { Converted, Failed, ForParser };

// The conversion by the byte reader, in one pass; ForParser where the reader leaves the
// document to the parser, or the text could not be kept (the parser's way then tells whether
// the document would have been refused first).
Outcome convertByBytes(QIODevice &device, const QString &headerText, XmlLogOutput &out)
{
    XmlByteReader reader(device, out.pieceDone);
    xmlwalk::EventWalker<XmlByteReader> walker(headerText, out.stamps != nullptr, out.roles,
                                               out.places);
    for (;;) {
        const XmlByteReader::Step step = reader.readNext();
        if (step == XmlByteReader::Step::Doubt)
            return Outcome::ForParser;
        if (step == XmlByteReader::Step::End)
            break;
        if (!walker.token(reader))
            return Outcome::ForParser;
        if (walker.text().size() >= PieceChars) {
            if (!out.text(walker.text()))
                return Outcome::ForParser;
            walker.text().resize(0);
        }
    }
    if (!walker.text().isEmpty() && !out.text(walker.text()))
        return Outcome::ForParser;
    out.lines = walker.lines();
    if (out.stamps)
        walker.dates().finish(*out.stamps);
    return Outcome::Converted;
}

// The first pass over the structure (xmlguard.h), then QXmlStreamReader.
bool convertByParser(QIODevice &device, const QString &headerText, XmlLogOutput &out)
{
    // The file's position is looked at this often (in tokens) to tell when a piece was read.
    constexpr int TokensPerLook = 4096;
    constexpr qint64 PieceBytes = 1 << 20;

    const qint64 start = device.pos();
    if (xmlStructureRefused(device, out.pieceDone) || !device.seek(start))
        return false;
    QXmlStreamReader reader(&device);
    reader.setNamespaceProcessing(false);
    xmlwalk::EventWalker<QXmlStreamReader> walker(headerText, out.stamps != nullptr, out.roles,
                                                  out.places);
    bool rootSeen = false;
    int tokens = 0;
    qint64 nextPiece = start + PieceBytes;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.hasError() || !walker.token(reader))
            return false;
        rootSeen |= reader.isStartElement();
        if (walker.text().size() >= PieceChars) {
            if (!out.text(walker.text()))
                return false;
            walker.text().resize(0);
        }
        if (++tokens == TokensPerLook) {
            tokens = 0;
            if (out.pieceDone && device.pos() >= nextPiece) {
                nextPiece = device.pos() + PieceBytes;
                out.pieceDone();
            }
        }
    }
    if (!rootSeen || (!walker.text().isEmpty() && !out.text(walker.text())))
        return false;
    out.lines = walker.lines();
    if (out.stamps)
        walker.dates().finish(*out.stamps);
    return true;
}

void clearOutput(XmlLogOutput &out)
{
    out.lines = 0;
    if (out.stamps)
        out.stamps->clear();
    if (out.roles)
        out.roles->clear();
    if (out.places)
        out.places->clear();
}

} // namespace

bool convertXmlLog(QIODevice &device, const QString &headerText, XmlLogOutput &out,
                   XmlReading reading)
{
    clearOutput(out);
    if (reading == XmlReading::ParserOnly || !out.discard)
        return convertByParser(device, headerText, out);
    const qint64 start = device.pos();
    const Outcome outcome = convertByBytes(device, headerText, out);
    if (outcome != Outcome::ForParser)
        return outcome == Outcome::Converted;
    clearOutput(out);
    if (reading == XmlReading::BytesOnly || !out.discard() || !device.seek(start))
        return false;
    return convertByParser(device, headerText, out);
}

QString readXmlLogData(const QByteArray &data, const QString &headerText, bool *ok,
                       LineStamps *stamps, QByteArray *roles, QList<qint64> *places,
                       XmlReading reading)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QString text;
    XmlLogOutput out;
    out.text = [&text](QStringView piece) {
        text += piece;
        return true;
    };
    out.stamps = stamps;
    out.roles = roles;
    out.places = places;
    out.discard = [&text] {
        text.clear();
        return true;
    };
    *ok = convertXmlLog(buffer, headerText, out, reading);
    if (*ok)
        return text;
    if (stamps)
        stamps->clear();
    if (roles)
        roles->clear();
    if (places)
        places->clear();
    return QString();
}
