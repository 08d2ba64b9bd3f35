#include "engine/read/chat/packedrecords.h"

#include <algorithm>
#include <cstring>

namespace {

// A record's fields one after another in 16-bit units: a number in as many units as it
// takes, a string as its length (-1 for a null one, which reads differently from an empty
// one) and its characters, a list as its count and its items.
template<typename Units> class Packer
{
public:
    explicit Packer(Units &arena)
        : m_arena(arena)
    {
    }
    template<typename Number> void number(Number n)
    {
        char16_t units[sizeof(Number) / 2];
        std::memcpy(units, &n, sizeof n);
        m_arena.append(units, sizeof(Number) / 2);
    }
    void string(const QString &s)
    {
        number(qint32(s.isNull() ? -1 : s.size()));
        m_arena.append(reinterpret_cast<const char16_t *>(s.constData()), size_t(s.size()));
    }
    void strings(const QStringList &list)
    {
        number(qint32(list.size()));
        for (const QString &s : list)
            string(s);
    }

private:
    Units &m_arena;
};

// Whether a string's buffer is its own alone, and may be written into. Unlike isDetached(),
// the look is an acquire: the last other holder may have let go of it on another thread (a
// line of the page shares its record's text), and the writing must come after its reading.
bool ownsBuffer(QString &s)
{
    const QArrayData *d = s.data_ptr().d_ptr();
    return d && d->ref_.loadAcquire() == 1;
}

class Unpacker
{
public:
    explicit Unpacker(const char16_t *at)
        : m_at(at)
    {
    }
    const char16_t *at() const { return m_at; }
    template<typename Number> Number number()
    {
        Number n;
        std::memcpy(&n, m_at, sizeof n);
        m_at += sizeof(Number) / 2;
        return n;
    }
    // Into the string's own buffer where it has one of its own.
    void string(QString &s)
    {
        const qint32 size = number<qint32>();
        if (size < 0) {
            s = QString();
        } else if (size == 0) {
            s = QStringLiteral("");
        } else {
            if (ownsBuffer(s))
                s.resize(size);
            else // held elsewhere too: a new one rather than a copy of what it held
                s = QString(size, Qt::Uninitialized);
            std::memcpy(static_cast<void *>(s.data()), m_at, size_t(size) * 2);
            m_at += size;
        }
    }
    // Sizes a list; false when it holds nothing. An empty list must be left alone: resizing
    // it, or walking it to write into it, takes the long way of growing a buffer for it.
    template<typename List> bool resize(List &list)
    {
        const qint32 size = number<qint32>();
        if (list.size() != size)
            list.resize(size);
        return size > 0;
    }
    void strings(QStringList &list)
    {
        if (resize(list)) {
            for (QString &s : list)
                string(s);
        }
    }

private:
    const char16_t *m_at;
};

template<typename Units> void pack(Packer<Units> &p, const chat::Record &record)
{
    p.number(quint16(record.kind));
    switch (record.kind) {
    case chat::Record::Kind::Message: {
        const chat::Message &m = record.message;
        p.string(m.id);
        p.number(m.line);
        p.string(m.sender);
        p.strings(m.recipients);
        p.strings(m.text);
        p.string(m.replyTo);
        p.string(m.replyQuote);
        p.string(m.replySender);
        p.number(quint16(m.threaded | m.alsoSent << 1 | m.edited << 2 | m.forwarded << 3));
        p.string(m.forwardedFrom);
        p.number(qint32(m.reactions.size()));
        for (const chat::Reaction &r : m.reactions) {
            p.string(r.emoji);
            p.strings(r.by);
        }
        p.number(qint32(m.attachments.size()));
        for (const chat::Attachment &a : m.attachments) {
            p.string(a.name);
            p.string(a.kind);
            p.number(a.size);
            p.string(a.path);
        }
        break;
    }
    case chat::Record::Kind::Event:
        p.string(record.event.text);
        p.string(record.event.actor);
        break;
    case chat::Record::Kind::Day:
        p.number(record.day.date.toJulianDay());
        p.string(record.day.text);
        break;
    }
}

// The record packed, its other parts left empty; `when` is held beside the arena.
void unpack(Unpacker &u, const chat::Moment &when, chat::Record &record)
{
    record.kind = chat::Record::Kind(u.number<quint16>());
    if (record.kind != chat::Record::Kind::Message)
        record.message = {};
    if (record.kind != chat::Record::Kind::Event)
        record.event = {};
    if (record.kind != chat::Record::Kind::Day)
        record.day = {};
    switch (record.kind) {
    case chat::Record::Kind::Message: {
        chat::Message &m = record.message;
        u.string(m.id);
        m.line = u.number<qint64>();
        u.string(m.sender);
        u.strings(m.recipients);
        m.when = when;
        u.strings(m.text);
        u.string(m.replyTo);
        u.string(m.replyQuote);
        u.string(m.replySender);
        const quint16 flags = u.number<quint16>();
        m.threaded = flags & 1;
        m.alsoSent = flags & 2;
        m.edited = flags & 4;
        m.forwarded = flags & 8;
        u.string(m.forwardedFrom);
        if (u.resize(m.reactions)) {
            for (chat::Reaction &r : m.reactions) {
                u.string(r.emoji);
                u.strings(r.by);
            }
        }
        if (u.resize(m.attachments)) {
            for (chat::Attachment &a : m.attachments) {
                u.string(a.name);
                u.string(a.kind);
                a.size = u.number<qint64>();
                u.string(a.path);
            }
        }
        break;
    }
    case chat::Record::Kind::Event:
        u.string(record.event.text);
        u.string(record.event.actor);
        record.event.when = when;
        break;
    case chat::Record::Kind::Day:
        record.day.date = QDate::fromJulianDay(u.number<qint64>());
        u.string(record.day.text);
        break;
    }
}

const chat::Moment &moment(const chat::Record &record)
{
    return record.kind == chat::Record::Kind::Message ? record.message.when : record.event.when;
}

} // namespace

void PackedChunk::add(qint64 at, const chat::Record &record)
{
    Packer packer(m_units);
    pack(packer, record);
    m_items.push_back({at, moment(record), m_units.size()});
}

std::u16string &PackedRecords::roomFor(size_t units)
{
    // A block near its end gives way to a new one, so that a record seldom outgrows its block;
    // one that does grows it, which moves only the block, not the places of its records.
    if (m_arena.empty()
        || m_arena.back().capacity() - m_arena.back().size() < std::max(units, BlockSlack)) {
        m_arena.emplace_back();
        m_arena.back().reserve(std::max(BlockUnits, units));
    }
    return m_arena.back();
}

void PackedRecords::noteEntry(qint64 at, const chat::Moment &when, size_t offset, size_t units)
{
    m_entries.push_back(
        {at, qsizetype(m_moments.size()), quint32(m_arena.size() - 1), quint32(offset)});
    m_units += qsizetype(units);
    m_moments.push_back(when);
}

void PackedRecords::add(qint64 at, const chat::Record &record)
{
    std::u16string &block = roomFor(0);
    const size_t offset = block.size();
    Packer packer(block);
    pack(packer, record);
    noteEntry(at, moment(record), offset, block.size() - offset);
}

void PackedRecords::add(const PackedChunk &chunk)
{
    size_t start = 0;
    for (const PackedChunk::Item &item : chunk.m_items) {
        const size_t units = item.end - start;
        std::u16string &block = roomFor(units);
        const size_t offset = block.size();
        block.append(chunk.m_units, start, units);
        noteEntry(item.at, item.when, offset, units);
        start = item.end;
    }
}

void PackedRecords::addObjects(JsonObjects &objects, const NoteObject &note)
{
    bool flag = false;
    while (const rapidjson::Value *item = objects.next(flag)) {
        bool starts = false;
        if (const PackedChunk *chunk = objects.prepared(starts)) {
            if (starts)
                add(*chunk);
        } else {
            objects.packHere(*item, flag, *this);
        }
        if (note)
            note(*item, flag);
    }
}

void PackedRecords::sort(bool newestFirst)
{
    std::sort(m_entries.begin(), m_entries.end(), [newestFirst](const Entry &a, const Entry &b) {
        if (a.at != b.at)
            return a.at < b.at;
        return newestFirst ? a.order > b.order : a.order < b.order;
    });
}

bool PackedRecords::restart()
{
    m_next = 0;
    m_consumed = 0;
    rewind();
    return !failed();
}

bool PackedRecords::next(chat::Record &record)
{
    if (m_next >= qsizetype(m_entries.size()))
        return false;
    const Entry &entry = m_entries[size_t(m_next++)];
    const char16_t *start = m_arena[entry.block].data() + entry.offset;
    Unpacker unpacker(start);
    unpack(unpacker, m_moments[size_t(entry.order)], record);
    m_consumed += unpacker.at() - start;
    handOut(record);
    return true;
}
