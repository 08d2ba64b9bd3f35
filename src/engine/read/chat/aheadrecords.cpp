#include "engine/read/chat/aheadrecords.h"

namespace {

// Records a batch: enough that the threads seldom wait on each other, few enough that the
// batches held stay small beside the page being written.
constexpr size_t BatchSize = 256;
constexpr size_t BatchesAhead = 4;

} // namespace

AheadRecords::AheadRecords(std::unique_ptr<RecordReader> records)
    : m_records(std::move(records))
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
    m_ready.clear();
    m_done = m_stop = false;
    m_running = true;
    m_thread = std::thread(&AheadRecords::read, this);
}

void AheadRecords::stop()
{
    if (!m_running)
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
    m_running = false;
    m_ready.clear();
    m_batch.clear();
    m_at = 0;
}

void AheadRecords::read()
{
    bool more = true;
    while (more) {
        Batch batch;
        batch.reserve(BatchSize);
        while (batch.size() < BatchSize) {
            Item item;
            more = m_records->next(item.record);
            if (!more)
                break;
            item.consumed = m_records->consumed();
            item.failed = m_records->failed();
            if (item.failed)
                item.error = m_records->errorString();
            batch.push_back(std::move(item));
            if (batch.back().failed) { // nothing follows a failure
                more = false;
                break;
            }
        }
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_stop || m_ready.size() < BatchesAhead; });
        if (m_stop)
            return;
        if (!batch.empty())
            m_ready.push_back(std::move(batch));
        m_done = !more;
        lock.unlock();
        m_changed.notify_all();
    }
}

bool AheadRecords::next(chat::Record &record)
{
    if (m_ended)
        return false;
    if (!m_running)
        start();
    if (m_at == m_batch.size()) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_ready.empty() || m_done; });
        if (m_ready.empty()) { // the pass is over; the wrapped reader is the taker's again
            lock.unlock();
            m_thread.join();
            m_running = false;
            m_ended = true;
            m_consumed = m_records->consumed();
            noteFailure();
            return false;
        }
        m_batch = std::move(m_ready.front());
        m_ready.pop_front();
        m_at = 0;
        lock.unlock();
        m_changed.notify_all();
    }
    Item &item = m_batch[m_at++];
    record = std::move(item.record);
    m_consumed = item.consumed;
    m_failed = item.failed;
    m_error = std::move(item.error);
    return true;
}
