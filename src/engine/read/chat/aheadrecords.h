#pragma once

#include "engine/read/chat/recordreader.h"
#include "engine/read/shared/batchpipe.h"

#include <memory>
#include <thread>
#include <vector>

// The records of a streamed export read on a thread of their own, a few hundred ahead of the
// one that turns them into lines: parsing an export's JSON and writing its page then take turns
// on two cores instead of one. Only a few batches are ever held, so memory stays flat.
//
// The reader it wraps must not change its chat() while records are read (its name and
// participants are known once restart() returns), and is touched by one thread at a time: by
// the caller in load() and restart(), by the reading thread in between.
class AheadRecords : public RecordReader
{
public:
    explicit AheadRecords(std::unique_ptr<RecordReader> records);
    ~AheadRecords() override;

    bool load() override;
    const chat::Chat &chat() const override { return m_records->chat(); }
    bool restart() override;
    bool next(chat::Record &record) override;
    // The batch's own record: a record swapped out whole costs more than its conversion.
    chat::Record *nextRecord(chat::Record &spare) override;
    qsizetype total() override { return m_total; }
    qsizetype consumed() const override { return m_consumed; }
    bool heldWhole() const override { return m_records->heldWhole(); }
    bool readsAnywhere() const override { return true; }
    bool failed() const override { return m_failed; }
    QString errorString() const override { return m_error; }

private:
    struct Item
    {
        chat::Record record;
        qsizetype consumed = 0; // the wrapped reader's after this record
        bool failed = false; // the wrapped reader's after this record
        QString error; // and its message then
    };
    using Batch = std::vector<Item>;

    void read();
    // After the wrapped reader was loaded or restarted: where it stands, no thread reading it.
    bool settle(bool ready);
    void noteFailure(); // from the wrapped reader, while no thread reads it
    void start();
    void stop();

    std::unique_ptr<RecordReader> m_records;
    qsizetype m_total = 0;

    // The taker's side.
    Batch m_batch; // the batch being handed out
    size_t m_at = 0;
    qsizetype m_consumed = 0;
    bool m_failed = false; // as the wrapped reader was after the record last handed out
    QString m_error;
    bool m_ended = false; // handed out the last record of this pass
    bool m_running = false;

    // Batches handed out go back to the reading thread to be filled again: their records are
    // then freed or reused where they were made, not by the taker, whose frees would contend
    // with the reading thread's allocations.
    BatchPipe<Batch> m_pipe;
    std::thread m_thread;
};

// A streamed export's reader, read ahead on a thread of its own.
inline std::unique_ptr<RecordReader> readAhead(std::unique_ptr<RecordReader> records)
{
    return std::make_unique<AheadRecords>(std::move(records));
}
