#include "engine/read/formats/discord/csvrows.h"

#include <QCoreApplication>

namespace {

constexpr qint64 ChunkBytes = 64 * 1024;

} // namespace

CsvRows::CsvRows(QIODevice &device)
    : m_device(device)
{
}

void CsvRows::reset()
{
    m_buf.clear();
    m_pos = 0;
    m_read = 0;
    m_rowStart = 0;
    m_line = 1;
    m_eof = false;
    m_error.clear();
    if (peek() == 0xEF && m_buf.startsWith("\xEF\xBB\xBF"))
        m_pos = 3;
}

int CsvRows::peek()
{
    if (m_pos >= m_buf.size() && !m_eof) {
        m_buf.resize(ChunkBytes);
        const qint64 got = m_device.read(m_buf.data(), ChunkBytes);
        if (got < 0)
            m_error = m_device.errorString();
        m_buf.resize(qMax<qint64>(got, 0));
        m_pos = 0;
        m_read += m_buf.size();
        m_eof = got <= 0;
    }
    return m_pos < m_buf.size() ? uchar(m_buf[m_pos]) : -1;
}

int CsvRows::take()
{
    const int c = peek();
    if (c >= 0)
        ++m_pos;
    if (c == '\n')
        ++m_line;
    return c;
}

bool CsvRows::next(QList<QByteArray> &fields)
{
    fields.clear();
    if (failed() || peek() < 0)
        return false;
    m_rowStart = offset();
    const qint64 firstLine = m_line;
    QByteArray field;
    bool quoted = false; // the field began with a quote
    bool inQuotes = false;
    for (;;) {
        const int c = take();
        if (failed())
            return false;
        if (c < 0) {
            if (inQuotes) {
                //: A CSV file that ends inside a quoted field.
                m_error
                    = QCoreApplication::translate(
                          "FileError", "the CSV breaks at line %1: a quoted field is not closed")
                          .arg(firstLine);
                return false;
            }
            fields.append(field);
            return true;
        }
        if (inQuotes) {
            if (c != '"')
                field.append(char(c));
            else if (peek() == '"')
                field.append(char(take()));
            else
                inQuotes = false;
        } else if (c == '"' && field.isEmpty() && !quoted) {
            inQuotes = quoted = true;
        } else if (c == ',') {
            fields.append(field);
            field.clear();
            quoted = false;
        } else if (c == '\n') {
            fields.append(field);
            return true;
        } else if (c != '\r' || peek() != '\n') {
            field.append(char(c));
        }
    }
}
