#pragma once

#include "engine/read/chat/packedchunk.h"
#include "engine/read/chat/recordreader.h"
#include "engine/read/shared/jsonobjects.h"

#include <QString>
#include <limits>
#include <string>
#include <vector>

// The records of a chat whose export does not hold them in the order they were said (newest
// first, or spread over several files), for chats of hundreds of thousands of messages: each
// record is packed as it is read into one flat arena (its strings as UTF-16, its numbers in
// place), only a small entry of each is sorted, and the records are unpacked one at a time in
// time order. Whole records held by the hundred thousand cost more to make, sort and copy than
// reading the export took. A later pass unpacks them again, on the threads that turn records
// into lines ahead of the page: keeping the lines of the first pass instead would cost the
// page's own thread the copying, and the memory of the chat twice over.
class PackedRecords : public RecordReader, public RecordSink
{
public:
    const chat::Chat &chat() const override { return m_chat; }
    bool restart() override;
    bool next(chat::Record &record) override;
    // In units of the arena, which RecordLines also sizes the lines it keeps by.
    qsizetype total() override { return m_units; }
    qsizetype consumed() const override { return m_consumed; }
    bool heldWhole() const override { return true; }
    bool failed() const override { return !m_error.isEmpty(); }
    QString errorString() const override { return m_error; }

protected:
    using RecordSink::Unknown;

    void add(qint64 at, const chat::Record &record) override;
    // The records packed elsewhere, in their order.
    void add(const PackedChunk &chunk);
    // Every object that `objects` hands out, packed as it was told to (here, or where it read
    // them), and told to `note` here, in order, for what only the whole chat tells.
    using NoteObject = std::function<void(const rapidjson::Value &, bool flag)>;
    void addObjects(JsonObjects &objects, const NoteObject &note = {});
    // Puts the records in time order. `newestFirst`: the export lists them newest first, so
    // records of one time are turned round too.
    void sort(bool newestFirst);
    // Before the first record of each pass.
    virtual void rewind() { }
    // Each record as it is handed out, in time order: what only the whole chat tells (the
    // names of ids, the messages quoted) is filled in here.
    virtual void handOut(chat::Record &record) { Q_UNUSED(record); }

    chat::Chat m_chat;
    QString m_error;

private:
    struct Entry
    {
        qint64 at;
        qsizetype order; // as the export holds it: its moment in m_moments
        quint32 block; // where it starts in m_arena
        quint32 offset;
    };
    // Blocks of about BlockUnits each, so that the arena grows without being copied.
    static constexpr size_t BlockUnits = size_t(1) << 20;
    static constexpr size_t BlockSlack = size_t(1) << 16;
    std::vector<Entry> m_entries;
    std::vector<chat::Moment> m_moments;
    std::vector<std::u16string> m_arena;
    // The block with room for `units` more, the next one if the last has too little.
    std::u16string &roomFor(size_t units);
    void noteEntry(qint64 at, const chat::Moment &when, size_t offset, size_t units);
    qsizetype m_units = 0;
    qsizetype m_next = 0;
    qsizetype m_consumed = 0;
};
