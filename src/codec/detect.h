#pragma once

#include "textcodec.h"

#include <QByteArray>

namespace textcodec {

// What a log turned out to be.
struct Detection
{
    Encoding encoding = Encoding::ShiftJis;
    int bomBytes = 0; // the byte order mark at the start; 0 when there is none
    LineEnd lineEnd = LineEnd::CrLf;
    bool hasLineEnd = false; // false: no line end anywhere (then CR LF is assumed)
    // Auto only: no mark, but zero bytes at every other offset, as UTF-16 text has them; the log
    // is then to be read again as UTF-16 (Choice::Utf16).
    bool looksLikeUtf16 = false;
};

// Tells a log's encoding and line ends from the whole file, fed piece by piece:
// - a byte order mark decides: UTF-8, UTF-16LE or UTF-16BE;
// - without one, a log that is valid UTF-8 throughout and holds at least one multi-byte
//   sequence is UTF-8 (a character cut off by the end of the file, as a copy broken off leaves
//   it, does not count against it); any other log is code page 932;
// - a log's lines end at the line end it holds most often, CR LF, LF or CR (ties in that
//   order), so that one stray line end of another kind cannot make the whole log one line.
// - without one, a log whose every CR and LF is half of a 16-bit unit whose other half is zero,
//   or whose zero bytes are many and mostly at one parity, looks like UTF-16 (looksLikeUtf16).
// A choice other than Auto fixes the encoding; UTF-16's byte order then comes from its mark,
// or else from the line ends of the first piece, or else from where its zero bytes are.
class Detector
{
public:
    explicit Detector(Choice choice = Choice::Auto)
        : m_choice(choice)
    {
    }

    void feed(QByteArrayView piece);
    // The result, once every piece was fed: every line end counts.
    Detection result();

private:
    void start();
    void scan(const uint8_t *p, const uint8_t *end);
    void validateUtf8(const uint8_t *p, const uint8_t *end);
    void scanLineEnds(const uint8_t *p, const uint8_t *end);
    void scanUnits(const uint8_t *p, const uint8_t *end);
    void scanUnitEnds(const uint8_t *p, const uint8_t *end);

    Choice m_choice;
    QByteArray m_head; // the first bytes, gathered until the mark and byte order can be told
    bool m_started = false;
    Detection m_result;
    bool m_encodingKnown = false;
    // UTF-8 validation while the encoding is open.
    bool m_utf8Valid = true;
    bool m_multibyte = false;
    bool m_completeMultibyte = false; // a multi-byte sequence that is not still open
    uint32_t m_utf8State = 0; // of utf8::Validator, carried from one piece to the next
    // Line ends seen so far: CR LF pairs, every LF and every CR.
    qint64 m_crlf = 0;
    qint64 m_lf = 0;
    qint64 m_cr = 0;
    bool m_lastWasCr = false;
    // Zero bytes at even and at odd offsets of the file, without a mark.
    qint64 m_zeros[2] = {0, 0};
    qint64 m_offset = 0;
    // CR and LF bytes, without a mark, that are half of a UTF-16 unit whose other half is
    // zero: little-endian (at an even offset, the zero after them) and big-endian.
    qint64 m_leEnds = 0;
    qint64 m_beEnds = 0;
    bool m_endAwaitsZero = false; // the last piece ended in a CR or LF at an even offset
    int m_lastByte = -1; // of the last piece
    int m_oddByte = -1; // UTF-16: the first byte of a unit cut off by the last piece
};

} // namespace textcodec
