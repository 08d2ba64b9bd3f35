#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1StringView>
#include <cstring>

// Appending the few bytes of markup a line of a page adds. QByteArray::append goes through
// insert(), which costs several times the copy for pieces this short; where the buffer is its
// own and has room, the bytes are copied in place (the room for the terminating zero kept).
namespace pagebytes {

inline void put(QByteArray &out, const char *bytes, qsizetype n)
{
    QByteArray::DataPointer &d = out.data_ptr();
    if (!d.needsDetach() && d.freeSpaceAtEnd() > n) {
        std::memcpy(d.data() + d.size, bytes, size_t(n));
        d.size += n;
        d.data()[d.size] = '\0';
        return;
    }
    out.append(bytes, n);
}

inline void put(QByteArray &out, QByteArrayView bytes)
{
    put(out, bytes.data(), bytes.size());
}

inline void put(QByteArray &out, QLatin1StringView text)
{
    put(out, text.data(), text.size());
}

inline void put(QByteArray &out, char c)
{
    put(out, &c, 1);
}

// Each piece in turn.
template<typename... Pieces> void putAll(QByteArray &out, const Pieces &...pieces)
{
    (put(out, pieces), ...);
}

} // namespace pagebytes
