#pragma once

#include "engine/read/chat/packedchunk.h"
#include "engine/read/shared/jsonpull.h"

#include <functional>
#include <memory>

// The objects of a long array one at a time, as a reader asks for them: the first few hundred
// read on the caller's thread, the rest parsed on a thread of their own a few batches ahead,
// so that RapidJSON's work and the reader's own share two cores. Only a few batches are ever
// held, so memory stays flat.
//
// While it reads ahead, the pull is its thread's alone: the caller asks offset() and failed()
// here, not of the pull, until next() gave nullptr.
class JsonObjects
{
public:
    // `pull` just past the array's StartArray (or an item of it); each object is read by
    // `read` (JsonPull::ReadObject). Where `passOthers`, an item that is no object is passed
    // over; else it ends the objects, as the array's end does.
    //
    // Where the caller packs the objects into records, `pack` turns an object (its flag and its
    // index among the objects, from 0) into records. The reading thread, rather than wait while
    // the caller is behind, packs whole batches itself, so that the caller then has only to
    // take their chunks (prepared()). `pack` must touch nothing that the caller's thread does.
    using Pack
        = std::function<void(const rapidjson::Value &, bool flag, qint64 index, RecordSink &)>;
    JsonObjects(JsonPull &pull, JsonPull::ReadObject read, bool passOthers, Pack pack = {});
    ~JsonObjects();
    JsonObjects(const JsonObjects &) = delete;
    JsonObjects &operator=(const JsonObjects &) = delete;

    // The next object and the flag `read` gave it, valid until the next call; nullptr at the
    // end of the objects, when the text broke, or when `read` failed.
    const rapidjson::Value *next(bool &flag);
    // The index of the object last handed out, from 0.
    qint64 index() const { return m_index; }
    // The chunk into which the reading thread packed the batch of the object last handed out,
    // or nullptr where that is left to the caller; `starts`: whether that object is the first
    // of its batch.
    const PackedChunk *prepared(bool &starts) const;
    // Packs the object last handed out, which the reading thread did not.
    void packHere(const rapidjson::Value &item, bool flag, RecordSink &into) const
    {
        m_pack(item, flag, m_index, into);
    }
    // Whether the objects ended because `read` failed on one.
    bool readFailed() const { return m_readFailed; }
    // Bytes of the text read up to the end of the object last handed out.
    qint64 offset() const;
    // Whether the pull broke, once it is known: after next() gave nullptr.
    bool failed() const;

private:
    struct Ahead;
    // The next object on this thread: false at the end.
    bool readHere(rapidjson::Document &into, bool &flag);

    JsonPull &m_pull;
    JsonPull::ReadObject m_read;
    bool m_passOthers;
    Pack m_pack;
    qint64 m_index = -1;
    rapidjson::Document m_item;
    int m_readHere = 0;
    bool m_ended = false;
    bool m_readFailed = false;
    std::unique_ptr<Ahead> m_ahead;
};
