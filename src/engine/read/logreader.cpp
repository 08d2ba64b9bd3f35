#include "engine/read/logreader.h"

#include "engine/read/chat/recordlines.h"
#include "engine/read/exportpaths.h"
#include "engine/read/formats/formats.h"
#include "engine/read/mergedlog.h"
#include "fileio/inputfile.h"

#include <QFileInfo>
#include <algorithm>

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
    m_merged = nullptr;
    m_reader.reset();
    m_extracted.reset();
    m_format = LogFormat();
    m_stamps.clear();
    m_stamps.setRolling(false);
    m_lineCount = -1;
    m_headersOnly = false;
    m_status = Status::Ok;
    m_error.clear();
    m_file.close();
    if (!m_mergedWith.isEmpty())
        return openMerged();
    if (const auto chat = exportpaths::split(path))
        return openChat(chat->container, chat->key);
    return openFile(path, path);
}

bool LogReader::openFile(const QString &path, const QString &name)
{
    const textcodec::Choice choice = m_choice;
    FormatId id = formats::byName(name);
    m_format.format = id;

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
        fail(m_format.xml() ? Status::XmlNotLoaded : Status::NotReadable, reason);
        return false;
    }
    // An XML history is read in its own declared encoding; any other log as detected.
    if (!m_format.xml()) {
        const QString suffix = QFileInfo(name).suffix().toLower();
        if (!detect(choice, suffix == u"json" || suffix == u"js"))
            return false;
        id = formatByHead();
        m_format.format = id;
    }
    m_diskPath = path;
    m_reader = formats::format(id).reader({m_file, m_format.detection, m_headerText, m_stamps,
                                           m_stampsWanted, [this] { pieceDone(); }, m_timeZone,
                                           m_diskPath, m_path, m_names, m_readAgain});
    if (!m_reader->load()) {
        // An XML history that is not one is said so; a reader that says why it failed (an
        // export that broke, a history whose text found no room) is taken at its word.
        if (m_format.xml() && m_reader->errorString().isEmpty())
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

bool LogReader::openRecords(std::unique_ptr<RecordReader> records, FormatId id)
{
    m_reader = std::make_unique<RecordLines>(
        std::move(records),
        ReadSource {m_file, m_format.detection, m_headerText, m_stamps, m_stampsWanted,
                    [this] { pieceDone(); }, m_timeZone, m_diskPath, m_path, m_names, m_readAgain});
    if (!m_reader->load()) {
        fail(Status::ReadError, m_reader->errorString());
        return false;
    }
    m_format.known = true;
    m_format.format = id;
    m_reader->note(m_format);
    return rewind();
}

bool LogReader::openMerged()
{
    std::vector<MergedLog::Source> sources;
    const QStringList paths = QStringList {m_path} + m_mergedWith;
    for (const QString &path : paths) {
        MergedLog::Source source;
        source.log = std::make_unique<LogReader>();
        LogReader &log = *source.log;
        log.setTimeZone(m_timeZone);
        log.setNames(m_names);
        log.setChatPlaces(m_places);
        log.setPieceDone(m_pieceDone);
        if (!log.open(path, m_headerText, m_choice)) {
            fail(log.status() == Status::XmlNotLoaded ? Status::ReadError : log.status(),
                 path + QStringLiteral(": ") + log.errorString());
            return false;
        }
        source.records = log.m_reader->records();
        if (!source.records) { // a log read as lines
            source.lines = std::make_unique<LineRecords>(log, m_headerText, m_sorting);
            source.records = source.lines.get();
        }
        sources.push_back(std::move(source));
    }
    // Named for the first export's format, as what it holds is said in its terms.
    const FormatId first = sources.front().log->format().format;
    m_format.merged = true;
    m_format.mergedMarkup = std::none_of(sources.begin(), sources.end(), [](const auto &source) {
        return source.log->format().plainText();
    });
    auto merged = std::make_unique<MergedLog>(std::move(sources), m_timeZone);
    m_merged = merged.get();
    return openRecords(std::move(merged), first);
}

QList<LogReader::SourceRead> LogReader::sourcesRead() const
{
    if (!m_merged)
        return {{m_path, savedOn()}};
    QList<SourceRead> sources;
    for (const MergedLog::Source &source : m_merged->sources())
        sources.append({source.log->path(), source.log->savedOn()});
    return sources;
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
        *info = std::move(lineInfo); // its strings handed on, not shared
    if (m_transform
        && (!m_headersOnly || lineInfo.role == LineRole::Header
            || lineInfo.role == LineRole::Unknown))
        m_transform(line);
    return true;
}

qsizetype LogReader::lineCount()
{
    if (m_lineCount < 0 && m_status == Status::Ok)
        m_lineCount = m_reader->lineCount();
    return m_status == Status::Ok ? m_lineCount : 0;
}

bool LogReader::openChat(const QString &container, const QString &key)
{
    QString error;
    const std::shared_ptr<const ExportFiles> files = exportpaths::open(container, &error);
    if (!files) {
        fail(Status::ReadError, error);
        return false;
    }
    if (const ChatFormat *format = exportpaths::holder(*files)) {
        std::unique_ptr<RecordReader> records = format->chatReader(files, key, m_places);
        if (!records) {
            //: A chat path ("talks.zip/Ann") whose export holds no chat of that name.
            fail(Status::NotFound,
                 QStringLiteral(QT_TRANSLATE_NOOP("FileError", "the export holds no such chat")));
            return false;
        }
        return openRecords(std::move(records), format->id());
    }
    // A log in a ZIP or TAR: copied out to a temporary file of its own, then read as any log.
    const QString entry = exportpaths::entryName(*files, key);
    if (entry.isEmpty()) {
        fail(Status::NotFound,
             QStringLiteral(QT_TRANSLATE_NOOP("FileError", "the export holds no such chat")));
        return false;
    }
    const std::unique_ptr<QIODevice> in = files->file(entry, &error);
    m_extracted = std::make_unique<QTemporaryFile>();
    if (!in || !m_extracted->open()) {
        fail(Status::ReadError, in ? m_extracted->errorString() : error);
        return false;
    }
    QByteArray piece(ChunkBytes, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in->read(piece.data(), ChunkBytes);
        if (got < 0 || (got > 0 && m_extracted->write(piece.constData(), got) != got)) {
            fail(Status::ReadError, got < 0 ? in->errorString() : m_extracted->errorString());
            return false;
        }
        if (got == 0)
            break;
        pieceDone();
    }
    if (!m_extracted->flush()) {
        fail(Status::ReadError, m_extracted->errorString());
        return false;
    }
    return openFile(m_extracted->fileName(), key);
}
