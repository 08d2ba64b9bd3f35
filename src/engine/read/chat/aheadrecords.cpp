#include "engine/read/chat/aheadrecords.h"

namespace {

// Records a batch: enough that the threads seldom wait on each other, few enough that the
// batches held stay small beside the page being written.
constexpr size_t BatchSize = 256;
constexpr size_t BatchesAhead = 4;

} // namespace

AheadRecords::AheadRecords(std::unique_ptr<RecordReader> records)
    : m_records(std::move(records))
    , m_pipe(BatchesAhead)
{
}

AheadRecords::~AheadRecords()
{
    stop();
}

bool AheadRecords::load()
{
    stop();
    return settle(m_records->load());
}

bool AheadRecords::restart()
{
    stop();
    return settle(m_records->restart());
}

bool AheadRecords::settle(bool ready)
{
    m_total = m_records->total();
    noteFailure();
    m_ended = !ready;
    m_consumed = m_records->consumed();
    return ready;
}

void AheadRecords::noteFailure()
{
    m_failed = m_records->failed();
    m_error = m_failed ? m_records->errorString() : QString();
}

void AheadRecords::start()
{
    m_pipe.reset();
    m_running = true;
    m_thread = std::thread(&AheadRecords::read, this);
}

void AheadRecords::stop()
{
    if (!m_running)
        return;
    m_pipe.stop();
    m_thread.join();
    m_running = false;
    m_pipe.reset();
    m_batch.clear();
    m_at = 0;
}

void AheadRecords::read()
{
    Batch batch;
    for (bool more = true; more;) {
        size_t filled = 0;
        while (filled < BatchSize) {
            if (filled == batch.size())
                batch.emplace_back();
            Item &item = batch[filled];
            more = m_records->next(item.record);
            if (!more)
                break;
            ++filled;
            item.consumed = m_records->consumed();
            item.failed = m_records->failed();
            item.error = item.failed ? m_records->errorString() : QString();
            if (item.failed) { // nothing follows a failure
                more = false;
                break;
            }
        }
        batch.resize(filled);
        if (!m_pipe.put(batch, !more))
            return;
    }
}

bool AheadRecords::next(chat::Record &record)
{
    chat::Record *const taken = nextRecord(record);
    if (taken)
        std::swap(record, *taken); // the taker's last record goes back with the batch
    return taken;
}

chat::Record *AheadRecords::nextRecord(chat::Record &)
{
    if (m_ended)
        return nullptr;
    if (!m_running)
        start();
    while (m_at == m_batch.size()) {
        if (!m_pipe.take(m_batch)) { // the pass is over; the wrapped reader is the taker's again
            m_thread.join();
            m_running = false;
            m_ended = true;
            m_consumed = m_records->consumed();
            noteFailure();
            return nullptr;
        }
        m_at = 0;
    }
    Item &item = m_batch[m_at++];
    m_consumed = item.consumed;
    m_failed = item.failed;
    m_error = std::move(item.error);
    return &item.record;
}
