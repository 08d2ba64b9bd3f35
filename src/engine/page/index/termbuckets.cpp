#include "engine/page/index/termbuckets.h"

#include <QFile>

using searchterms::Term;

namespace {

// Past this many bytes in memory, every bucket goes on in its file.
constexpr qint64 HeldBytes = 32 * 1024 * 1024;

} // namespace

TermBuckets::TermBuckets() = default;
TermBuckets::~TermBuckets() = default;

void TermBuckets::add(Term term, quint32 row, quint32 count)
{
    const int b = int(searchterms::shardOf(term, Count));
    QByteArray &held = m_held[b];
    const qsizetype before = held.size();
    searchterms::appendVarint(term, held);
    searchterms::appendVarint(row, held);
    searchterms::appendVarint(count, held);
    m_heldBytes += held.size() - before;
    ++m_records;
    if (m_heldBytes > HeldBytes) {
        for (int k = 0; k < Count; ++k)
            spill(k);
    }
}

void TermBuckets::spill(int b)
{
    QByteArray &held = m_held[b];
    if (held.isEmpty())
        return;
    if (!m_dir)
        m_dir = std::make_unique<QTemporaryDir>();
    QFile file(m_dir->filePath(QString::number(b)));
    if (m_error.isEmpty()
        && (!m_dir->isValid() || !file.open(QIODevice::WriteOnly | QIODevice::Append)
            || file.write(held) != held.size() || !file.flush()))
        m_error = m_dir->isValid() ? file.errorString() : m_dir->errorString();
    m_spilled[b] += held.size();
    m_heldBytes -= held.size();
    held.clear();
}

bool TermBuckets::read(int b, QList<Record> &records)
{
    QByteArray bytes;
    if (m_spilled[b] > 0) {
        QFile file(m_dir->filePath(QString::number(b)));
        if (!file.open(QIODevice::ReadOnly) || (bytes = file.readAll()).size() != m_spilled[b]) {
            if (m_error.isEmpty())
                m_error = file.errorString();
            return false;
        }
    }
    bytes += m_held[b];
    for (qsizetype at = 0; at < bytes.size();) {
        Record r {};
        if (!searchterms::readVarint(bytes, at, r.term)
            || !searchterms::readVarint(bytes, at, r.row)
            || !searchterms::readVarint(bytes, at, r.count))
            return false;
        records.append(r);
    }
    return true;
}

void TermBuckets::clear()
{
    for (QByteArray &held : m_held)
        held.clear();
    m_spilled.fill(0);
    m_dir.reset();
    m_heldBytes = 0;
    m_records = 0;
    m_error.clear();
}
