#pragma once

#include "cp932.h"
#include "cp949.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The encodings a log may be written in, with decoders and encoders that lose nothing: a byte
// that does not decode becomes a lone low surrogate U+DC00 + byte (as in code page 932, see
// cp932.h) and is written back as that very byte, so any log survives a round trip unchanged.
namespace textcodec {

// Code page 949 is no choice of the user's: it is taken only for a KakaoTalk export that is not
// UTF-8 (LogReader::detect).
enum class Encoding { ShiftJis, Utf8, Utf16LE, Utf16BE, Cp949 };

// What the user asked for: an encoding detected per log, or one for every log (UTF-16 in the
// byte order its mark names, little-endian without one).
enum class Choice { Auto, ShiftJis, Utf8, Utf16 };

// Where a log's lines end: at CR LF, at LF or at CR.
enum class LineEnd { CrLf, Lf, Cr };

// CR LF: the line end of a log that has none of its own, of the pages, the XML logs' text and
// the messages' line breaks.
inline constexpr QStringView CrLf = u"\r\n";
inline constexpr QByteArrayView CrLfBytes = "\r\n";

bool isUtf16(Encoding encoding);

// Incremental decoder for a file read in pieces: a character cut between two pieces is kept
// until the next one arrives. Text in UTF-16 is taken unit by unit, lone surrogates included;
// a last odd byte decodes to U+FFFD.
class Decoder
{
public:
    explicit Decoder(Encoding encoding = Encoding::ShiftJis)
        : m_encoding(encoding)
    {
    }

    // Decodes `bytes`, appending to `out`; with `last` set, anything pending is flushed.
    void decode(QByteArrayView bytes, QString &out, bool last = false);
    void reset()
    {
        m_sjis.reset();
        m_cp949.reset();
        m_pendingSize = 0;
    }

private:
    void decodeUtf8(QByteArrayView bytes, QString &out, bool last);
    void decodeUtf16(QByteArrayView bytes, QString &out, bool last);

    Encoding m_encoding;
    cp932::Decoder m_sjis;
    cp949::Decoder m_cp949;
    unsigned char m_pending[4] = {};
    int m_pendingSize = 0;
};

// Appends `text` in `encoding`. Code page 932 writes "?" for characters it lacks; UTF-8 writes
// a lone surrogate that stands for no byte as U+FFFD; UTF-16 writes every unit as it is.
void encodeAppend(QStringView text, Encoding encoding, QByteArray &out);

// Appends `text` as UTF-8 for a page: every character as itself, a byte that did not decode
// as U+FFFD (a page must be valid UTF-8).
void utf8PageAppend(QStringView text, QByteArray &out);

// The byte order mark of an encoding (empty for code pages 932 and 949).
QByteArray byteOrderMark(Encoding encoding);

// The encoding's name as users know it ("Shift-JIS", "UTF-8", "UTF-16LE", "UTF-16BE", "CP949").
QString encodingName(Encoding encoding);
QString lineEndName(LineEnd lineEnd); // "CR LF", "LF", "CR"

} // namespace textcodec
