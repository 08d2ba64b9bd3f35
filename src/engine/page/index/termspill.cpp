#include "engine/page/index/termspill.h"

#include <QtEndian>

namespace {

} // namespace

qint64 TermSpill::add(const Terms &terms)
{
    if (m_failed)
        return -1;
    if (!m_file) {
        m_file = std::make_unique<QTemporaryFile>();
        m_failed = !m_file->open();
        if (m_failed)
            return -1;
    }
    // Its length, then each term as the step from the one before, and its count.
    QByteArray record(4, '\0');
    searchterms::Term previous = 0;
    for (const auto &[term, count] : terms) {
        searchterms::appendVarint(term - previous, record);
        searchterms::appendVarint(count, record);
        previous = term;
    }
    qToLittleEndian(quint32(record.size() - 4), record.data());
    const qint64 at = m_file->size();
    if (!m_file->seek(at) || m_file->write(record) != record.size()) {
        m_failed = true;
        return -1;
    }
    return at;
}

bool TermSpill::read(qint64 at, Terms &terms) const
{
    terms.clear();
    if (!m_file || m_failed || !m_file->flush() || !m_file->seek(at))
        return false;
    const QByteArray length = m_file->read(4);
    if (length.size() != 4)
        return false;
    const QByteArray record = m_file->read(qFromLittleEndian<quint32>(length.constData()));
    searchterms::Term term = 0;
    for (qsizetype i = 0; i < record.size();) {
        quint32 step = 0, count = 0;
        if (!searchterms::readVarint(record, i, step) || !searchterms::readVarint(record, i, count))
            return false;
        term += step;
        terms.append({term, count});
    }
    return true;
}
