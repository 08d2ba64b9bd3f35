#pragma once

#include <cstddef>
#include <cstdlib>
#include <limits>
#include <new>
#include <string>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

// For buffers of many megabytes filled once, front to back (a whole chat's records and lines):
// asked for in huge pages where the system gives them, so that filling one takes a page fault
// per two megabytes rather than per four kilobytes. Those faults were a tenth of the time a big
// export took to read. Smaller buffers are allocated as usual.
template<typename T> struct HugeAllocator
{
    using value_type = T;

    HugeAllocator() = default;
    template<typename U> HugeAllocator(const HugeAllocator<U> &) { }

    T *allocate(size_t n)
    {
        if (n > std::numeric_limits<size_t>::max() / sizeof(T) - Huge)
            throw std::bad_array_new_length();
        const size_t bytes = n * sizeof(T);
        if (bytes < Huge)
            return static_cast<T *>(::operator new(bytes));
        const size_t rounded = (bytes + Huge - 1) & ~(Huge - 1);
        void *p = std::aligned_alloc(Huge, rounded);
        if (!p)
            throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
        madvise(p, rounded, MADV_HUGEPAGE); // a hint: without it the pages are only smaller
#endif
        return static_cast<T *>(p);
    }
    void deallocate(T *p, size_t n)
    {
        if (n * sizeof(T) < Huge)
            ::operator delete(p);
        else
            std::free(p);
    }
    friend bool operator==(const HugeAllocator &, const HugeAllocator &)
    {
        return true;
    }

private:
    static constexpr size_t Huge = size_t(2) << 20;
};

template<typename T> using HugeVector = std::vector<T, HugeAllocator<T>>;
// Text in 16-bit units, as QString holds it.
using HugeUnits = std::basic_string<char16_t, std::char_traits<char16_t>, HugeAllocator<char16_t>>;
