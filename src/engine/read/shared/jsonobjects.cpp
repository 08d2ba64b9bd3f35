#include "engine/read/shared/jsonobjects.h"

#include <array>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// A short array is read on the caller's thread alone.
constexpr int ObjectsBeforeAhead = 256;

// A batch ends at so many objects or so many bytes of text, whichever comes first, so that
// the batches held stay small whatever the objects' size.
constexpr size_t BatchObjects = 256;
constexpr qint64 BatchBytes = 1 << 20;
constexpr size_t Batches = 5;
// Where the objects are packed into records, the reading thread packs a batch itself while so
// many batches wait for the caller, who then has enough to do meanwhile.
constexpr size_t WaitingToPack = 1;

// Objects parsed and not yet taken. Their values share one pool, emptied when the batch is
// filled again.
struct Batch
{
    rapidjson::MemoryPoolAllocator<> pool;
    std::vector<rapidjson::Document> items;
    std::vector<char> flags; // as read() set them
    std::vector<qint64> offsets; // the text read up to each one's end
    size_t used = 0;
    qint64 first = 0; // the index of its first object
    PackedChunk chunk; // its records, where the reading thread packed them
    bool packed = false;
    bool last = false; // the reading stopped after it

    Batch()
    {
        items.reserve(BatchObjects);
        flags.resize(BatchObjects);
        offsets.resize(BatchObjects);
        for (size_t i = 0; i < BatchObjects; ++i)
            items.emplace_back(&pool);
    }
    void empty()
    {
        for (rapidjson::Document &item : items) // a broken one's too
            item.SetNull();
        pool.Clear();
        used = 0;
        packed = false;
    }
};

// The batch's records packed on the reading thread.
void pack(const JsonObjects::Pack &pack, Batch &batch)
{
    batch.chunk.clear();
    for (size_t i = 0; i < batch.used; ++i)
        pack(batch.items[i], batch.flags[i] != 0, batch.first + qint64(i), batch.chunk);
    batch.packed = true;
}

} // namespace

// The batches going round between the reading thread and the caller.
struct JsonObjects::Ahead
{
    std::array<Batch, Batches> batches; // in place: their documents point at their pools
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Batch *> free;
    std::deque<Batch *> full;
    bool stop = false; // the caller is done before the objects are
    std::thread thread;
    Batch *taken = nullptr; // the batch being handed out
    size_t at = 0;
    qint64 offset = 0; // after the object last handed out

    // The next batch from `from`; nullptr once stopped.
    Batch *take(std::deque<Batch *> &from)
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return stop || !from.empty(); });
        if (from.empty())
            return nullptr;
        Batch *batch = from.front();
        from.pop_front();
        return batch;
    }
    void give(std::deque<Batch *> &to, Batch *batch)
    {
        {
            const std::lock_guard lock(mutex);
            to.push_back(batch);
        }
        changed.notify_all();
    }
    // Whether the caller is behind.
    bool behind()
    {
        const std::lock_guard lock(mutex);
        return full.size() >= WaitingToPack;
    }
    void halt()
    {
        {
            const std::lock_guard lock(mutex);
            stop = true;
        }
        changed.notify_all();
        if (thread.joinable())
            thread.join();
    }
};

JsonObjects::JsonObjects(JsonPull &pull, JsonPull::ReadObject read, bool passOthers, Pack pack)
    : m_pull(pull)
    , m_read(std::move(read))
    , m_passOthers(passOthers)
    , m_pack(std::move(pack))
{
}

JsonObjects::~JsonObjects()
{
    if (m_ahead)
        m_ahead->halt();
}

bool JsonObjects::readHere(rapidjson::Document &into, bool &flag)
{
    for (;;) {
        switch (m_pull.next()) {
        case JsonPull::Token::StartObject:
            flag = false;
            if (m_read(m_pull, into, flag))
                return true;
            m_readFailed = true;
            return false;
        case JsonPull::Token::EndArray:
        case JsonPull::Token::Error:
        case JsonPull::Token::End:
            return false;
        default:
            if (!m_passOthers || !m_pull.skip())
                return false;
            break;
        }
    }
}

const rapidjson::Value *JsonObjects::next(bool &flag)
{
    if (m_ended)
        return nullptr;
    if (!m_ahead && m_readHere < ObjectsBeforeAhead) {
        ++m_readHere;
        m_item.SetNull();
        m_item.GetAllocator().Clear();
        if (readHere(m_item, flag)) {
            ++m_index;
            return &m_item;
        }
        m_ended = true;
        return nullptr;
    }
    if (!m_ahead) {
        m_ahead = std::make_unique<Ahead>();
        for (Batch &batch : m_ahead->batches)
            m_ahead->free.push_back(&batch);
        // The reading thread alone touches the pull until it stops after the batch marked
        // last, or is stopped.
        m_ahead->thread = std::thread([this, ahead = m_ahead.get(), index = m_index + 1]() mutable {
            for (bool more = true; more;) {
                Batch *batch = ahead->take(ahead->free);
                if (!batch)
                    return;
                batch->empty();
                const qint64 start = m_pull.offset();
                while (batch->used < BatchObjects && m_pull.offset() - start < BatchBytes) {
                    bool read = false;
                    if (!readHere(batch->items[batch->used], read)) {
                        more = false;
                        break;
                    }
                    batch->flags[batch->used] = read;
                    batch->offsets[batch->used++] = m_pull.offset();
                }
                batch->last = !more;
                batch->first = index;
                index += qint64(batch->used);
                if (m_pack && ahead->behind())
                    pack(m_pack, *batch);
                ahead->give(ahead->full, batch);
            }
        });
    }
    Ahead &ahead = *m_ahead;
    while (!ahead.taken || ahead.at == ahead.taken->used) {
        if (ahead.taken) {
            if (ahead.taken->last) { // the pull is the caller's again
                ahead.thread.join();
                m_ended = true;
                return nullptr;
            }
            ahead.give(ahead.free, ahead.taken);
        }
        ahead.taken = ahead.take(ahead.full);
        ahead.at = 0;
        if (!ahead.taken) { // stopped: not while the caller asks
            m_ended = true;
            return nullptr;
        }
    }
    const size_t i = ahead.at++;
    m_index = ahead.taken->first + qint64(i);
    flag = ahead.taken->flags[i] != 0;
    ahead.offset = ahead.taken->offsets[i];
    return &ahead.taken->items[i];
}

const PackedChunk *JsonObjects::prepared(bool &starts) const
{
    if (!m_ahead || !m_ahead->taken || !m_ahead->taken->packed)
        return nullptr;
    starts = m_ahead->at == 1;
    return &m_ahead->taken->chunk;
}

qint64 JsonObjects::offset() const
{
    return m_ahead && !m_ended ? m_ahead->offset : m_pull.offset();
}

bool JsonObjects::failed() const
{
    return m_ended && m_pull.failed();
}

bool JsonPull::eachObject(const ReadObject &read, const EachObject &each)
{
    JsonObjects objects(*this, read, false);
    bool flag = false;
    while (const rapidjson::Value *item = objects.next(flag))
        each(*item, flag);
    return !objects.readFailed() && !failed();
}
