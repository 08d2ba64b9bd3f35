#include "engine/read/logreader.h"

#include "engine/read/formats/formats.h"
#include "engine/read/formats/xmlhistory/xmllog.h"
#include "fileio/inputfile.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

using textcodec::LineEnd;

namespace {

// A line this long that fills the buffer is moved out of it (takeLine).
constexpr qsizetype LargeLine = 1 << 20;

} // namespace

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
    m_format.xml = formats::byName(path) == FormatId::XmlHistory;
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
    if (formatByHead() == FormatId::LineExport) {
        m_format.lineExport = true;
        m_stamps.setRolling(true);
        m_lineExport = std::make_unique<LineExportConverter>(
            headerText,
            [this](ExportLine &line) {
                return readExportLine(line.text, true, &line.end, &line.ended);
            },
            [this](const std::function<void(QStringView)> &line) { surveyLines(line); });
    }
    return rewind();
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
