#include "engine/read/shared/jsonpull.h"

#include <array>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// The objects of a long array, parsed on a thread of their own a few batches ahead of the one
// that takes them: RapidJSON's work and the reader's own then share two cores.

namespace {

// A short array is read on the caller's thread alone.
constexpr int ObjectsBeforeAhead = 256;

// A batch ends at so many objects or so many bytes of text, whichever comes first, so that
// the batches held stay small whatever the objects' size.
constexpr size_t BatchObjects = 64;
constexpr qint64 BatchBytes = 1 << 20;
constexpr size_t Batches = 3;

// Objects parsed and not yet taken. Their values share one pool, emptied when the batch is
// filled again.
struct Batch
{
    rapidjson::MemoryPoolAllocator<> pool;
    std::vector<rapidjson::Document> items;
    std::vector<char> flags; // as read() set them
    size_t used = 0;
    bool last = false; // the reading stopped after it

    Batch()
    {
        items.reserve(BatchObjects);
        flags.resize(BatchObjects);
        for (size_t i = 0; i < BatchObjects; ++i)
            items.emplace_back(&pool);
    }
    void empty()
    {
        for (rapidjson::Document &item : items) // a broken one's too
            item.SetNull();
        pool.Clear();
        used = 0;
    }
};

// The batches going round between the two threads.
struct Ring
{
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Batch *> free;
    std::deque<Batch *> full;

    Batch *take(std::deque<Batch *> &from)
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return !from.empty(); });
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
};

} // namespace

bool JsonPull::eachObject(const ReadObject &read, const EachObject &each)
{
    rapidjson::Document item;
    for (int n = 0; n < ObjectsBeforeAhead; ++n) {
        if (next() != Token::StartObject)
            return !failed();
        item.SetNull();
        item.GetAllocator().Clear();
        bool flag = false;
        if (!read(*this, item, flag))
            return false;
        each(static_cast<const rapidjson::Value &>(item), flag);
    }
    return eachObjectAhead(read, each);
}

bool JsonPull::eachObjectAhead(const ReadObject &read, const EachObject &each)
{
    std::array<Batch, Batches> batches; // in place: their documents point at their pools
    Ring ring;
    for (Batch &batch : batches)
        ring.free.push_back(&batch);

    // The reading thread alone touches the pull until it stops after the batch marked last.
    std::thread reader([this, &ring, &read] {
        for (bool more = true; more;) {
            Batch *batch = ring.take(ring.free);
            batch->empty();
            const qint64 start = offset();
            while (batch->used < BatchObjects && offset() - start < BatchBytes) {
                bool flag = false;
                if (next() != Token::StartObject || !read(*this, batch->items[batch->used], flag)) {
                    more = false;
                    break;
                }
                batch->flags[batch->used++] = flag;
            }
            batch->last = !more;
            ring.give(ring.full, batch);
        }
    });
    for (bool more = true; more;) {
        Batch *batch = ring.take(ring.full);
        for (size_t i = 0; i < batch->used; ++i)
            each(static_cast<const rapidjson::Value &>(batch->items[i]), batch->flags[i] != 0);
        more = !batch->last;
        ring.give(ring.free, batch);
    }
    reader.join();
    return !failed();
}
