#include "logreader.h"

#include "fileio/inputfile.h"
#include "xmllog.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr qint64 ChunkBytes = 1 << 20;

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

bool LogReader::open(const QString &path, const QString &headerText)
{
    m_path = path;
    m_xml = isXmlLogPath(path);
    m_xmlText.clear();
    m_stamps.clear();
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
        fail(m_xml ? Status::XmlNotLoaded : Status::NotReadable, reason);
        return false;
    }
    if (m_xml) {
        const QByteArray data = m_file.readAll();
        const bool readOk = m_file.error() == QFileDevice::NoError;
        m_file.close();
        bool ok = false;
        if (readOk)
            m_xmlText = readXmlLogData(data, headerText, &ok, &m_stamps);
        if (!ok) {
            m_xmlText.clear();
            m_stamps.clear();
            fail(Status::XmlNotLoaded,
                 QStringLiteral(QT_TRANSLATE_NOOP("FileError", "not a readable XML history")));
            return false;
        }
    }
    return rewind();
}

bool LogReader::rewind()
{
    if (m_status != Status::Ok)
        return false;
    m_decoder.reset();
    m_pos = m_scan = 0;
    m_done = false;
    if (m_xml) {
        m_buf = m_xmlText; // shared, not copied
        m_eof = true;
        return true;
    }
    m_buf.clear();
    m_eof = false;
    if (!m_file.seek(0)) {
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

bool LogReader::readLine(QString &line)
{
    if (m_done)
        return false;
    for (;;) {
        // Look for CR LF; a CR at the very end may still be followed by the next chunk's LF.
        qsizetype cr = m_buf.indexOf(u'\r', m_scan);
        while (cr >= 0 && cr + 1 < m_buf.size() && m_buf[cr + 1] != u'\n')
            cr = m_buf.indexOf(u'\r', cr + 1);
        if (cr >= 0 && cr + 1 < m_buf.size()) {
            line.setUnicode(m_buf.constData() + m_pos, cr - m_pos);
            m_pos = m_scan = cr + 2;
            break;
        }
        m_scan = cr >= 0 ? cr : m_buf.size();
        if (!fill()) {
            if (m_status != Status::Ok)
                return false;
            // The end of the log: what is left is a last line without a line break.
            m_done = true;
            if (m_pos >= m_buf.size())
                return false;
            line.setUnicode(m_buf.constData() + m_pos, m_buf.size() - m_pos);
            m_pos = m_buf.size();
            break;
        }
    }
    if (m_transform)
        m_transform(line);
    return true;
}

qsizetype LogReader::lineCount()
{
    if (m_lineCount >= 0)
        return m_lineCount;
    if (m_status != Status::Ok)
        return 0;
    qsizetype count = 0;
    if (m_xml) {
        const qsizetype n = m_xmlText.size();
        qsizetype from = 0;
        for (qsizetype k; (k = m_xmlText.indexOf(u"\r\n", from)) >= 0; from = k + 2)
            ++count;
        if (from < n)
            ++count;
        return m_lineCount = count;
    }
    // CR and LF are never the second byte of a code page 932 pair, so counting the bytes
    // gives exactly the decoded line count. The open file is read at explicit offsets, so
    // the reading position stays where it is.
    QByteArray buf(ChunkBytes, Qt::Uninitialized);
    qint64 base = 0; // file offset of the chunk
    qint64 lineStart = 0; // file offset after the last CR LF
    char previous = 0; // last byte of the previous chunk
    for (;;) {
        const ssize_t got = ::pread(m_file.handle(), buf.data(), size_t(ChunkBytes), base);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        const char *p = buf.constData();
        const char *end = p + got;
        for (const char *q = p; (q = static_cast<const char *>(std::memchr(q, '\n', end - q)));
             ++q) {
            if ((q > p ? q[-1] : previous) == '\r') {
                ++count;
                lineStart = base + (q - p) + 1;
            }
        }
        previous = end[-1];
        base += got;
    }
    if (base > lineStart)
        ++count;
    return m_lineCount = count;
}
