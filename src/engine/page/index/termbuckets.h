#pragma once

#include "engine/page/index/searchterms.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <array>
#include <memory>

// The terms of all pages of an index on their way into its term files: (term, row, count)
// records sorted into buckets by the term's share, so that the files are made a few shares at
// a time. A large archive's records go to temporary files, never all into memory.
class TermBuckets
{
public:
    static constexpr int Count = 256; // the shares of 256 term files; more files split them

    struct Record
    {
        searchterms::Term term;
        quint32 row;
        quint32 count;
    };

    TermBuckets();
    ~TermBuckets();

    void add(searchterms::Term term, quint32 row, quint32 count);
    // Appends the records of bucket `b`. False when its temporary file could not be read.
    bool read(int b, QList<Record> &records);
    void clear();

    qint64 records() const { return m_records; }
    // Why a temporary file could not be written or read; empty while all is well.
    QString errorString() const { return m_error; }

private:
    void spill(int b);

    std::array<QByteArray, Count> m_held;
    std::array<qint64, Count> m_spilled {}; // bytes in each bucket's temporary file
    std::unique_ptr<QTemporaryDir> m_dir;
    qint64 m_heldBytes = 0;
    qint64 m_records = 0;
    QString m_error;
};
