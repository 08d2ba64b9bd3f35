#include "engine/convert/searchfile.h"

#include "engine/page/index/pageindex.h"
#include "fileio/inputfile.h"

#include <QCoreApplication>

namespace {

constexpr qsizetype FlushBytes = 256 * 1024;

QString dataPath(const QString &pagePath)
{
    const qsizetype slash = pagePath.lastIndexOf(u'/') + 1;
    return pagePath.left(slash) + searchDataName(pagePath.mid(slash));
}

} // namespace

SearchDataFile::SearchDataFile(const QString &pagePath, const SpeakerKeys &keys,
                               const LineStamps &stamps)
    : m_path(dataPath(pagePath))
    , m_data(keys, stamps)
    , m_file(m_path)
{
    if (fileio::exists(m_path) && !isOwnSearchData(m_path))
        m_error
            = QStringLiteral(QT_TRANSLATE_NOOP("FileError", "the name is taken by another file"));
    else if (!m_file.open())
        m_error = m_file.errorString();
    if (m_error.isEmpty())
        m_data.begin(pagePath.mid(pagePath.lastIndexOf(u'/') + 1), m_buffer);
}

void SearchDataFile::flush()
{
    if (m_error.isEmpty())
        m_file.write(m_buffer);
    m_buffer.resize(0);
}

void SearchDataFile::write(const QString &line, LineRole role, LineRole sorted)
{
    if (!m_error.isEmpty())
        return;
    m_data.write(line, role, sorted, m_buffer);
    if (m_buffer.size() >= FlushBytes)
        flush();
}

bool SearchDataFile::commit()
{
    if (!m_error.isEmpty())
        return false;
    m_data.finish(m_buffer);
    flush();
    if (m_file.commit())
        return true;
    m_error = m_file.errorString();
    return false;
}
