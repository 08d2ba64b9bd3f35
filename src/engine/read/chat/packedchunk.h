#pragma once

#include "engine/read/chat/chatmodel.h"

#include <limits>
#include <string>
#include <vector>

// Where records are packed: a chat's whole arena (PackedRecords), or a chunk of a few hundred
// records packed on another thread, which the chat then takes whole.
class RecordSink
{
public:
    static constexpr qint64 Unknown = std::numeric_limits<qint64>::min();

    virtual ~RecordSink() = default;
    // `at`: milliseconds since the epoch, Unknown when the export tells no time.
    virtual void add(qint64 at, const chat::Record &record) = 0;
};

class PackedChunk : public RecordSink
{
public:
    void add(qint64 at, const chat::Record &record) override;
    void clear()
    {
        m_units.clear();
        m_items.clear();
    }

private:
    friend class PackedRecords;
    struct Item
    {
        qint64 at;
        chat::Moment when;
        size_t end; // where its units end in m_units; the item before it ends where it starts
    };
    std::u16string m_units;
    std::vector<Item> m_items;
};
