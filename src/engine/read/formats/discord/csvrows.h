#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>

// The rows of a CSV text read from a device a piece at a time: fields parted by commas, a field
// in double quotes may hold commas, line ends and doubled quotes. Rows end at LF or CR LF. The
// fields are given as their bytes; where each row starts and ends is told, so that a row can be
// read again on its own.
class CsvRows
{
public:
    explicit CsvRows(QIODevice &device);

    // Reads from the device's current position; a UTF-8 mark is skipped.
    void reset();
    // The next row; false at the end, or when the text broke (failed()).
    bool next(QList<QByteArray> &fields);
    // Bytes from where reset() began: where the last row started, and where reading stands.
    qint64 rowStart() const { return m_rowStart; }
    qint64 offset() const { return m_read - (m_buf.size() - m_pos); }

    bool failed() const { return !m_error.isEmpty(); }
    QString errorString() const { return m_error; }

private:
    int take(); // the next byte, -1 at the end
    int peek();

    QIODevice &m_device;
    QByteArray m_buf;
    qsizetype m_pos = 0;
    qint64 m_read = 0;
    qint64 m_rowStart = 0;
    qint64 m_line = 1;
    bool m_eof = false;
    QString m_error;
};
