#include "engine/read/logreader.h"

#include "engine/read/xmllog.h"
#include "fileio/inputfile.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

using textcodec::LineEnd;

namespace {

constexpr qint64 ChunkBytes = 1 << 20;
// A line this long that fills the buffer is moved out of it (takeLine).
constexpr qsizetype LargeLine = 1 << 20;
// How much of a log's start is looked at to tell whether it is a LINE export.
constexpr qsizetype HeadBytes = 64 * 1024;

} // namespace

bool isXmlLogPath(const QString &path)
{
    return path.endsWith(u"xml") || path.endsWith(u"XML");
}

bool startsLikeXml(QByteArrayView head)
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

void LogReader::fail(Status status, const QString &error)
{
    m_status = status;
    m_error = error;
    m_buf.clear();
    m_pos = m_scan = 0;
    m_eof = m_done = true;
    m_file.close();
}

bool LogReader::open(const QString &path, const QString &headerText, textcodec::Choice choice)
{
    m_path = path;
    m_headerText = headerText;
    m_choice = choice;
    m_format = LogFormat();
    m_format.xml = isXmlLogPath(path);
    m_xmlText.clear();
    m_xmlRoles.clear();
    m_lineExport.reset();
    m_stamps.clear();
    m_stamps.setRolling(false);
    m_stampsDone = false;
    m_lineCount = -1;
    m_status = Status::Ok;
    m_error.clear();
    m_file.close();

    QString reason;
    switch (fileio::openForReading(path, m_file, &reason)) {
    case fileio::ReadOpen::Ok:
        break;
    case fileio::ReadOpen::NotFound:
        fail(Status::NotFound, reason);
        return false;
    case fileio::ReadOpen::IsDirectory:
        fail(Status::IsDirectory, reason);
        return false;
    case fileio::ReadOpen::NotRegular:
        fail(Status::NotRegular, reason);
        return false;
    case fileio::ReadOpen::NotReadable:
        // An XML history that cannot be opened is one that does not load.
        fail(m_format.xml ? Status::XmlNotLoaded : Status::NotReadable, reason);
        return false;
    }
    if (m_format.xml) {
        const QByteArray data = m_file.readAll();
        const bool readOk = m_file.error() == QFileDevice::NoError;
        m_file.close();
        bool ok = false;
        if (readOk)
            m_xmlText = readXmlLogData(data, headerText, &ok, &m_stamps, &m_xmlRoles);
        if (!ok) {
            m_xmlText.clear();
            m_xmlRoles.clear();
            m_stamps.clear();
            fail(Status::XmlNotLoaded,
                 QStringLiteral(QT_TRANSLATE_NOOP("FileError", "not a readable XML history")));
            return false;
        }
        m_format.known = true;
        // The indented text keeps every character: in code page 932 where it holds them all.
        bool lossy = false;
        cp932::encode(m_xmlText, [&lossy](char32_t, QByteArray &) { lossy = true; });
        m_format.textInUtf8 = lossy;
        return rewind();
    }
    if (!detect(choice))
        return false;
    m_format.known = true;
    const auto &d = m_format.detection;
    m_decoder = textcodec::Decoder(d.encoding);
    m_separator = d.lineEnd == LineEnd::Cr ? u'\r' : u'\n';
    if (!rewind())
        return false;
    if (startsAsLineExport()) {
        m_format.lineExport = true;
        m_stamps.setRolling(true);
        m_lineCount = -1;
        m_lineExport = std::make_unique<LineExportConverter>(
            headerText,
            [this](ExportLine &line) {
                return readExportLine(line.text, true, &line.end, &line.ended);
            },
            [this](const std::function<void(QStringView)> &line) { surveyLines(line); });
    }
    return rewind();
}

bool LogReader::detect(textcodec::Choice choice)
{
    textcodec::Detector detector(choice);
    QByteArray piece(ChunkBytes, Qt::Uninitialized);
    for (;;) {
        const qint64 got = m_file.read(piece.data(), ChunkBytes);
        if (got < 0) {
            fail(Status::ReadError, m_file.errorString());
            return false;
        }
        if (got == 0)
            break;
        detector.feed(QByteArrayView(piece.constData(), got));
        pieceDone();
        if (detector.settled())
            break;
    }
    m_format.detection = detector.result();
    if (m_format.detection.looksLikeUtf16) {
        // UTF-16 without a mark: its line ends are counted again, unit by unit.
        if (!m_file.seek(0)) {
            fail(Status::ReadError, m_file.errorString());
            return false;
        }
        return detect(textcodec::Choice::Utf16);
    }
    if (choice == textcodec::Choice::Auto
        && m_format.detection.encoding == textcodec::Encoding::ShiftJis) {
        // LINE writes its exports in UTF-8 only: one with no character beyond ASCII, or with
        // damaged bytes, is UTF-8 still (damaged bytes are kept as they are).
        char head[7];
        if (m_file.seek(0) && m_file.read(head, sizeof head) == qint64(sizeof head)
            && QByteArrayView(head, sizeof head) == "[LINE] ")
            m_format.detection.encoding = textcodec::Encoding::Utf8;
    }
    if (textcodec::isUtf16(m_format.detection.encoding) && m_file.size() % 2 != 0) {
        // A unit cut in half: no UTF-16 log, or a damaged one; either way nothing is guessed.
        fail(Status::Undecodable,
             QStringLiteral(QT_TRANSLATE_NOOP("FileError", "an odd number of bytes is no UTF-16")));
        return false;
    }
    return true;
}

QString LogReader::head()
{
    QByteArray bytes(HeadBytes, Qt::Uninitialized);
    ssize_t got;
    do {
        got = ::pread(m_file.handle(), bytes.data(), size_t(HeadBytes),
                      m_format.detection.bomBytes);
    } while (got < 0 && errno == EINTR);
    QString text;
    if (got > 0)
        textcodec::Decoder(m_format.detection.encoding)
            .decode(QByteArrayView(bytes.constData(), got), text, true);
    return text;
}

bool LogReader::startsAsLineExport()
{
    // The first three lines tell, as far as the first few kilobytes hold them: read apart from
    // the reading position, so that a log of one huge line is not read whole for it.
    const QString text = head();
    QStringView lines[3];
    QStringView rest(text);
    for (QStringView &line : lines) {
        qsizetype end = 0;
        while (end < rest.size() && rest[end] != u'\n' && rest[end] != u'\r')
            ++end;
        line = rest.first(end);
        if (end < rest.size() && rest[end] == u'\r' && end + 1 < rest.size()
            && rest[end + 1] == u'\n')
            ++end;
        rest = rest.sliced(qMin(end + 1, rest.size()));
    }
    return ::startsAsLineExport(lines[0], lines[1], lines[2]);
}

void LogReader::lookAtForeignKind()
{
    // A Shift-JIS log with CR LF line ends is the classic text log: its header text is the one
    // thing to adjust.
    const textcodec::Detection &d = m_format.detection;
    const bool classic
        = d.encoding == textcodec::Encoding::ShiftJis && d.hasLineEnd && d.lineEnd == LineEnd::CrLf;
    if (m_format.xml || !m_format.known || !m_file.isOpen() || (classic && !m_format.lineExport))
        return;
    m_format.foreign
        = m_format.lineExport ? ForeignKind::LineWithoutMessages : ::foreignKind(head());
}

bool LogReader::rewind()
{
    if (m_status != Status::Ok)
        return false;
    m_pos = m_scan = 0;
    m_done = false;
    m_consumed = 0;
    m_linesOut = 0;
    if (m_lineExport && !m_stampsDone)
        m_stamps.clear(); // noted again by this pass
    if (m_format.xml) {
        m_buf = m_xmlText; // shared, not copied
        m_eof = true;
        return true;
    }
    m_decoder.reset();
    m_buf.clear();
    m_eof = false;
    if (m_lineExport)
        m_lineExport->reset();
    if (!m_file.seek(m_format.detection.bomBytes)) {
        fail(Status::ReadError, m_file.errorString());
        return false;
    }
    return true;
}

bool LogReader::fill()
{
    if (m_eof)
        return false;
    if (m_pos > 0) {
        m_buf.remove(0, m_pos);
        m_scan -= m_pos;
        m_pos = 0;
    }
    m_chunk.resize(ChunkBytes);
    const qint64 got = m_file.read(m_chunk.data(), ChunkBytes);
    if (got < 0) {
        fail(Status::ReadError, m_file.errorString());
        return false;
    }
    m_eof = got == 0;
    m_decoder.decode(QByteArrayView(m_chunk.constData(), got), m_buf, m_eof);
    return true;
}

bool LogReader::readExportLine(QString &line, bool anyEnd, LineEnd *end, bool *ended)
{
    if (m_done)
        return false;
    const bool crLf = m_format.xml || m_format.detection.lineEnd == LineEnd::CrLf;
    if (ended)
        *ended = true;
    for (;;) {
        if (anyEnd) {
            // Every CR LF, LF or CR ends a line; a CR at the very end may still be followed by
            // the next piece's LF. An LF is looked for first, then a lone CR before it.
            const QChar *text = m_buf.constData();
            const qsizetype size = m_buf.size();
            const qsizetype lf = m_buf.indexOf(u'\n', m_scan);
            const qsizetype searched = lf < 0 ? size : lf;
            qsizetype at = QStringView(m_buf).sliced(m_scan, searched - m_scan).indexOf(u'\r');
            at = at < 0 ? searched : m_scan + at;
            if (at < size && (text[at] == u'\n' || at + 1 < size || m_eof)) {
                const bool pair = text[at] == u'\r' && at + 1 < size && text[at + 1] == u'\n';
                if (end)
                    *end = pair ? LineEnd::CrLf : text[at] == u'\n' ? LineEnd::Lf : LineEnd::Cr;
                takeLine(line, at - m_pos, at + (pair ? 2 : 1));
                ++m_consumed;
                return true;
            }
            m_scan = at;
        } else if (crLf) {
            // Look for CR LF; a CR at the very end may still be followed by the next piece's LF.
            qsizetype cr = m_buf.indexOf(u'\r', m_scan);
            while (cr >= 0 && cr + 1 < m_buf.size() && m_buf[cr + 1] != u'\n')
                cr = m_buf.indexOf(u'\r', cr + 1);
            if (cr >= 0 && cr + 1 < m_buf.size()) {
                takeLine(line, cr - m_pos, cr + 2);
                ++m_consumed;
                return true;
            }
            m_scan = cr >= 0 ? cr : m_buf.size();
        } else {
            const qsizetype end = m_buf.indexOf(m_separator, m_scan);
            if (end >= 0) {
                takeLine(line, end - m_pos, end + 1);
                ++m_consumed;
                return true;
            }
            m_scan = m_buf.size();
        }
        if (!fill()) {
            if (m_status != Status::Ok)
                return false;
            // The end of the log: what is left is a last line without a line break.
            m_done = true;
            if (m_pos >= m_buf.size())
                return false;
            if (ended)
                *ended = false;
            takeLine(line, m_buf.size() - m_pos, m_buf.size());
            ++m_consumed;
            return true;
        }
    }
}

void LogReader::takeLine(QString &line, qsizetype length, qsizetype next)
{
    // A line that is most of what is buffered (a log of one huge line) is moved out rather than
    // copied, so that it is never held twice; the little after it stays.
    if (m_pos == 0 && length >= LargeLine && length * 2 > m_buf.size() && !m_format.xml) {
        QString rest = m_buf.sliced(next);
        line = std::move(m_buf);
        line.truncate(length);
        m_buf = std::move(rest);
        m_pos = m_scan = 0;
        return;
    }
    line.setUnicode(m_buf.constData() + m_pos, length);
    m_pos = m_scan = next;
}

bool LogReader::readLine(QString &line, LineInfo *info)
{
    if (m_status != Status::Ok)
        return false;
    bool got;
    LineInfo lineInfo;
    if (m_lineExport) {
        got = m_lineExport->next(m_converted);
        if (got) {
            const LineExportConverter::Stamp &stamp = m_converted.stamp;
            if (stamp.opens && m_stampsWanted) {
                if (stamp.date != m_stampDate) { // a date's text is made once
                    m_stampDate = stamp.date;
                    m_stampDateText = stamp.dateText();
                }
                // Noted again in every pass, the one being read held alone.
                m_stamps.addRolling(m_linesOut, m_stampDateText, stamp.timeText(), stamp.repeated,
                                    !m_stampsDone);
            }
            line = std::move(m_converted.text);
            lineInfo = {m_converted.role, m_converted.end};
        }
        m_stampsDone |= !got && m_status == Status::Ok;
    } else {
        got = readExportLine(line);
        if (m_format.xml && m_linesOut < m_xmlRoles.size())
            lineInfo.role = LineRole(m_xmlRoles[m_linesOut]);
    }
    if (!got || m_status != Status::Ok)
        return false;
    if (info)
        *info = lineInfo;
    ++m_linesOut;
    if (m_transform)
        m_transform(line);
    return true;
}

qsizetype LogReader::lineCount()
{
    if (m_lineCount < 0 && m_status == Status::Ok)
        m_lineCount = countLines();
    return m_status == Status::Ok ? m_lineCount : 0;
}

qsizetype LogReader::countLines()
{
    qsizetype count = 0;
    if (m_format.xml) {
        const qsizetype n = m_xmlText.size();
        qsizetype from = 0;
        for (qsizetype k; (k = m_xmlText.indexOf(textcodec::CrLf, from)) >= 0; from = k + 2)
            ++count;
        return from < n ? count + 1 : count;
    }
    // Line ends are counted in the bytes: CR and LF are never part of a code page 932 pair or
    // of a UTF-8 sequence, and UTF-16 is looked at unit by unit. The open file is read at
    // explicit offsets, so the reading position stays where it is.
    const auto &d = m_format.detection;
    const int unit = textcodec::isUtf16(d.encoding) ? 2 : 1;
    const int lo = d.encoding == textcodec::Encoding::Utf16BE ? 1 : 0; // a unit's low byte
    const char sep = d.lineEnd == LineEnd::Cr ? '\r' : '\n';
    // In a LINE export every LF ends a line, CR LF or not.
    const bool crLf = d.lineEnd == LineEnd::CrLf && !m_format.lineExport;
    QByteArray buf(ChunkBytes, Qt::Uninitialized);
    const char *p = buf.constData();
    // Whether the unit at byte offset u of the piece is the character c.
    const auto isChar = [&](qint64 u, char c) {
        return p[u + lo] == c && (unit == 1 || p[u + 1 - lo] == 0);
    };
    qint64 base = d.bomBytes; // file offset of the piece
    qint64 lineStart = base; // file offset after the last line end
    bool previousCr = false; // the unit before the piece is a CR
    for (;;) {
        const ssize_t got = ::pread(m_file.handle(), buf.data(), size_t(ChunkBytes), base);
        if (got < 0 && errno == EINTR)
            continue;
        const qint64 usable = got - got % unit; // the piece ends on a whole unit
        if (usable <= 0)
            break;
        for (qint64 from = lo; from < usable;) {
            const void *hit = std::memchr(p + from, sep, size_t(usable - from));
            if (!hit)
                break;
            const qint64 u = static_cast<const char *>(hit) - p - lo;
            from = u + lo + 1;
            if (u % unit != 0 || !isChar(u, sep))
                continue; // a byte of some other unit
            if (!crLf || (u > 0 ? isChar(u - unit, '\r') : previousCr)) {
                ++count;
                lineStart = base + u + unit;
            }
        }
        previousCr = isChar(usable - unit, '\r');
        base += usable;
        pieceDone();
    }
    return base > lineStart ? count + 1 : count;
}

void LogReader::surveyLines(const std::function<void(QStringView)> &line)
{
    // Only the start of a line matters to a survey: a longer line is cut, so that a log of one
    // huge line costs no more than any other.
    constexpr qsizetype KeptChars = 4096;
    textcodec::Decoder decoder(m_format.detection.encoding);
    QByteArray buf(ChunkBytes, Qt::Uninitialized);
    QString text;
    QString carried; // the start of a line the last piece left open
    bool cut = false; // the open line is longer than what is kept of it
    bool crBefore = false; // the last piece ended in a CR: an LF starting this one is its pair
    qint64 offset = m_format.detection.bomBytes;
    for (bool last = false; !last;) {
        ssize_t got;
        do {
            got = ::pread(m_file.handle(), buf.data(), size_t(ChunkBytes), offset);
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            return;
        last = got == 0;
        offset += got;
        text.resize(0);
        decoder.decode(QByteArrayView(buf.constData(), qMax<ssize_t>(got, 0)), text, last);
        pieceDone();
        qsizetype from = 0;
        if (crBefore && !text.isEmpty() && text[0] == u'\n')
            from = 1;
        crBefore = false;
        for (qsizetype at = from; at < text.size(); ++at) {
            const QChar c = text[at];
            if (c != u'\n' && c != u'\r')
                continue;
            const QStringView part = QStringView(text).sliced(from, at - from);
            if (carried.isEmpty() && !cut) {
                line(part.first(qMin(part.size(), KeptChars)));
            } else {
                if (!cut)
                    carried += part.first(qMin(part.size(), KeptChars - carried.size()));
                line(carried);
                carried.clear();
                cut = false;
            }
            if (c == u'\r') {
                if (at + 1 < text.size() && text[at + 1] == u'\n')
                    ++at;
                else if (at + 1 == text.size())
                    crBefore = true;
            }
            from = at + 1;
        }
        const QStringView open = QStringView(text).sliced(from);
        if (!cut && carried.size() + open.size() > KeptChars) {
            carried += open.first(KeptChars - carried.size());
            cut = true;
        } else if (!cut) {
            carried += open;
        }
    }
    if (!carried.isEmpty())
        line(carried);
}
