#pragma once

#include "engine/page/index/searchdata.h"
#include "fileio/atomicfile.h"

#include <QByteArray>
#include <QString>

// The search data of a page (page/index/searchdata.h), written beside it as the page is written and
// put in place after it. A file of that name is replaced only when this program wrote it.
class SearchDataFile
{
public:
    SearchDataFile(const QString &pagePath, const SpeakerKeys &keys, const LineStamps &stamps);
    SearchDataFile(const SearchDataFile &) = delete;
    SearchDataFile &operator=(const SearchDataFile &) = delete;

    // The next line of the log, as the page gets it and took it (PageWriter::writeLine).
    void write(const QString &line, LineRole role, LineRole sorted);
    // Puts the data in place, once the page is. False, with errorString(), when it could not.
    bool commit();

    const QString &path() const { return m_path; }
    const ChatStats &stats() const { return m_data.stats(); }
    const searchterms::PageTerms &terms() const { return m_data.terms(); }
    QString errorString() const { return m_error; }

private:
    void flush();

    QString m_path;
    SearchData m_data;
    fileio::AtomicFile m_file;
    QByteArray m_buffer;
    QString m_error;
};
