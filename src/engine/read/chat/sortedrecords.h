#pragma once

#include "engine/read/chat/recordreader.h"

#include <QString>
#include <algorithm>
#include <limits>
#include <vector>

// The records of a chat whose export does not hold them in the order they were said (newest
// first, or spread over several files): gathered whole when the chat is loaded (its records
// only, never the export's own text), then handed out in time order, pass after pass.
class SortedRecords : public RecordReader
{
public:
    const chat::Chat &chat() const override { return m_chat; }
    bool restart() override
    {
        m_next = 0;
        return !failed();
    }
    bool next(chat::Record &record) override
    {
        if (m_next >= qsizetype(m_records.size()))
            return false;
        record = m_records[size_t(m_next++)].record;
        return true;
    }
    qsizetype total() override { return qsizetype(m_records.size()); }
    qsizetype consumed() const override { return m_next; }
    bool heldWhole() const override { return true; }
    bool failed() const override { return !m_error.isEmpty(); }
    QString errorString() const override { return m_error; }

protected:
    struct Held
    {
        qint64 at; // milliseconds since the epoch; Unknown when the export tells no time
        qsizetype order; // as the export holds it
        chat::Record record;
    };
    static constexpr qint64 Unknown = std::numeric_limits<qint64>::min();

    void add(qint64 at, chat::Record record)
    {
        m_records.push_back({at, qsizetype(m_records.size()), std::move(record)});
    }
    // Puts the records in time order. `newestFirst`: the export lists them newest first, so
    // records of one time are turned round too.
    void sort(bool newestFirst)
    {
        std::sort(m_records.begin(), m_records.end(), [newestFirst](const Held &a, const Held &b) {
            if (a.at != b.at)
                return a.at < b.at;
            return newestFirst ? a.order > b.order : a.order < b.order;
        });
    }
    std::vector<Held> &records() { return m_records; }

    chat::Chat m_chat;
    QString m_error;

private:
    std::vector<Held> m_records;
    qsizetype m_next = 0;
};
