#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

// Batches made on one thread and taken on another, at most `ahead` of them waiting. A batch
// taken goes back to the maker once the taker is done with it, to be emptied and filled again
// there: what it holds is freed where it was made, as the malloc of the maker's thread wants.
template<typename Batch> class BatchPipe
{
public:
    explicit BatchPipe(size_t ahead)
        : m_ahead(ahead)
    {
    }

    // The maker's side: hands `batch` over (`last`: nothing follows it) and gets a spent one
    // back in its place, or an empty one; false once the taker stopped the pipe.
    bool put(Batch &batch, bool last)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_stop || m_ready.size() < m_ahead; });
        if (m_stop)
            return false;
        m_ready.push_back(std::move(batch));
        m_last = last;
        batch = Batch();
        if (!m_spent.empty()) {
            batch = std::move(m_spent.back());
            m_spent.pop_back();
        }
        lock.unlock();
        m_changed.notify_all();
        return true;
    }

    // The taker's side: the next batch in place of `batch`, which goes back spent; false
    // once the last was taken.
    bool take(Batch &batch)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_ready.empty() || m_last; });
        if (m_ready.empty())
            return false;
        m_spent.push_back(std::move(batch));
        batch = std::move(m_ready.front());
        m_ready.pop_front();
        lock.unlock();
        m_changed.notify_all();
        return true;
    }

    // Tells the maker to stop at its next put().
    void stop()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
    }

    // Ready for another run, no thread making or taking.
    void reset()
    {
        m_ready.clear();
        m_spent.clear();
        m_last = m_stop = false;
    }

private:
    const size_t m_ahead;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_ready;
    std::vector<Batch> m_spent;
    bool m_last = false;
    bool m_stop = false;
};
