#include "engine/read/logreader.h"

#include "engine/read/formats/formats.h"
#include "fileio/inputfile.h"

void LogReader::fail(Status status, const QString &error)
{
    m_status = status;
    m_error = error;
    m_file.close();
}

bool LogReader::open(const QString &path, const QString &headerText, textcodec::Choice choice)
{
    m_path = path;
    m_headerText = headerText;
    m_choice = choice;
    m_reader.reset();
    m_format = LogFormat();
    FormatId id = formats::byName(path);
    m_format.xml = id == FormatId::XmlHistory;
    m_stamps.clear();
    m_stamps.setRolling(false);
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
    // An XML history is read in its own declared encoding; any other log as detected.
    if (!m_format.xml) {
        if (!detect(choice))
            return false;
        id = formatByHead();
        m_format.lineExport = id == FormatId::LineExport;
    }
    m_reader = formats::format(id).reader({m_file, m_format.detection, m_headerText, m_stamps,
                                           m_stampsWanted, [this] { pieceDone(); }, m_timeZone});
    if (!m_reader->load()) {
        if (m_format.xml)
            fail(Status::XmlNotLoaded,
                 QStringLiteral(QT_TRANSLATE_NOOP("FileError", "not a readable XML history")));
        else // an export that broke: its reader says where
            fail(Status::ReadError, m_reader->errorString());
        return false;
    }
    m_format.known = true;
    m_format.foreignFormat = id; // what an export that holds no message is said to be
    m_reader->note(m_format);
    return rewind();
}

bool LogReader::rewind()
{
    if (m_status != Status::Ok)
        return false;
    if (!m_reader->restart()) {
        fail(Status::ReadError, m_reader->errorString());
        return false;
    }
    return true;
}

bool LogReader::readLine(QString &line, LineInfo *info)
{
    if (m_status != Status::Ok)
        return false;
    LineInfo lineInfo;
    const bool got = m_reader->next(line, lineInfo);
    if (m_reader->failed()) {
        fail(Status::ReadError, m_reader->errorString());
        return false;
    }
    if (!got)
        return false;
    if (info)
        *info = lineInfo;
    if (m_transform)
        m_transform(line);
    return true;
}

qsizetype LogReader::lineCount()
{
    if (m_lineCount < 0 && m_status == Status::Ok)
        m_lineCount = m_reader->lineCount();
    return m_status == Status::Ok ? m_lineCount : 0;
}
