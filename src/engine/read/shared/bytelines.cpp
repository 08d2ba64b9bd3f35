#include "engine/read/shared/bytelines.h"

#include <cstring>

using textcodec::LineEnd;

ByteLines::ByteLines(QFile &file, const textcodec::Detection &detection)
    : m_file(file)
    , m_crLf(detection.lineEnd == LineEnd::CrLf)
    , m_separator(detection.lineEnd == LineEnd::Cr ? '\r' : '\n')
    , m_start(detection.bomBytes)
{
}

void ByteLines::restart()
{
    m_buf.clear();
    m_pos = m_scan = 0;
    m_eof = m_started = false;
    m_consumed = 0;
    m_error.clear();
}

bool ByteLines::fill()
{
    if (m_eof)
        return false;
    if (!m_started) {
        m_started = true;
        if (!m_file.seek(m_start)) {
            m_error = m_file.errorString();
            return false;
        }
    }
    if (m_pos > 0) {
        m_buf.remove(0, m_pos);
        m_scan -= m_pos;
        m_pos = 0;
    }
    const qsizetype held = m_buf.size();
    m_buf.resize(held + ChunkBytes);
    const qint64 got = m_file.read(m_buf.data() + held, ChunkBytes);
    if (got < 0) {
        m_error = m_file.errorString();
        m_buf.resize(held);
        return false;
    }
    m_buf.resize(held + got);
    m_eof = got == 0;
    return !m_eof;
}

ByteLines::Got ByteLines::next(QByteArrayView &line)
{
    for (;;) {
        const char *text = m_buf.constData();
        const qsizetype size = m_buf.size();
        // The first LF (or separator) from the scan on; at CR LF only one after a CR of the
        // same line, as a lone LF stays inside its line.
        for (qsizetype at = m_scan; at < size;) {
            const void *hit = std::memchr(text + at, m_separator, size_t(size - at));
            if (!hit)
                break;
            const qsizetype end = static_cast<const char *>(hit) - text;
            if (!m_crLf) {
                line = QByteArrayView(text + m_pos, end - m_pos);
                m_pos = m_scan = end + 1;
                ++m_consumed;
                return Got::Line;
            }
            if (end > m_pos && text[end - 1] == '\r') {
                line = QByteArrayView(text + m_pos, end - 1 - m_pos);
                m_pos = m_scan = end + 1;
                ++m_consumed;
                return Got::Line;
            }
            at = end + 1;
        }
        // A CR at the very end stays in the buffer: an LF starting the next piece finds it.
        m_scan = size;
        if (size - m_pos > LongLine)
            return Got::TooLong;
        if (!fill()) {
            if (!m_error.isEmpty())
                return Got::Failed;
            if (m_pos >= m_buf.size())
                return Got::End;
            // What is left is a last line without a line end.
            line = QByteArrayView(m_buf.constData() + m_pos, m_buf.size() - m_pos);
            m_pos = m_buf.size();
            ++m_consumed;
            return Got::Line;
        }
    }
}
