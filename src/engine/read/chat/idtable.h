#pragma once

#include <QtGlobal>
#include <vector>

// A number for each message id of a chat (by chat::idKey(), a hash already), for chats of
// hundreds of thousands of messages: one flat table probed in place, which costs a fraction of
// a QHash's time to fill. 0 stands for no number.
class IdTable
{
public:
    void clear()
    {
        m_slots.clear();
        m_used = 0;
    }
    // Sets the number of `key` (> 0), replacing the one it had.
    void insert(quint64 key, qint64 number)
    {
        if ((m_used + 1) * 4 > m_slots.size() * 3)
            grow();
        size_t i = find(key);
        if (m_slots[i].number == 0)
            ++m_used;
        m_slots[i] = {key, number};
    }
    size_t size() const { return m_used; }
    qint64 value(quint64 key) const { return m_slots.empty() ? 0 : m_slots[find(key)].number; }
    // Starts bringing the home of `key` into the cache, for a lookup a little later: in a table
    // larger than the cache most lookups otherwise wait on memory.
    void prefetch(quint64 key) const
    {
        if (!m_slots.empty())
            __builtin_prefetch(&m_slots[key & (m_slots.size() - 1)]);
    }
    void remove(quint64 key)
    {
        if (m_slots.empty())
            return;
        size_t hole = find(key);
        if (m_slots[hole].number == 0)
            return;
        // The keys after it that probed past it move back, so that none is cut off from home.
        const size_t mask = m_slots.size() - 1;
        for (size_t j = (hole + 1) & mask; m_slots[j].number != 0; j = (j + 1) & mask) {
            const size_t home = m_slots[j].key & mask;
            if (((j - home) & mask) >= ((j - hole) & mask)) {
                m_slots[hole] = m_slots[j];
                hole = j;
            }
        }
        m_slots[hole].number = 0;
        --m_used;
    }

private:
    struct Slot
    {
        quint64 key;
        qint64 number;
    };
    // Where `key` is, or the free slot where it would go.
    size_t find(quint64 key) const
    {
        const size_t mask = m_slots.size() - 1;
        size_t i = key & mask;
        while (m_slots[i].number != 0 && m_slots[i].key != key)
            i = (i + 1) & mask;
        return i;
    }
    void grow()
    {
        std::vector<Slot> old(qMax<size_t>(1024, m_slots.size() * 2), Slot {0, 0});
        old.swap(m_slots);
        for (const Slot &s : old) {
            if (s.number != 0)
                m_slots[find(s.key)] = s;
        }
    }

    std::vector<Slot> m_slots; // a power of two of them, at most three quarters used
    size_t m_used = 0;
};
