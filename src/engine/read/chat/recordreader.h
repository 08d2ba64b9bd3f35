#pragma once

#include "engine/read/chat/chatmodel.h"

#include <QString>

// The records of one chat export, pass after pass: a format that reads an app's export gives
// one (chatformat.h), and RecordLines turns its records into the lines every page and text
// output is written from.
class RecordReader
{
public:
    virtual ~RecordReader() = default;

    // Reads what must be read before the first record (the chat's name, the names of ids);
    // false when the export cannot be read (errorString() says where it broke).
    virtual bool load() { return true; }
    virtual const chat::Chat &chat() const = 0;
    // Back to the first record; false when reading failed.
    virtual bool restart() = 0;
    // The next record, in the order the chat was said; false at the end or when reading failed.
    virtual bool next(chat::Record &record) = 0;
    // The same, where the reader may hand out a record it holds rather than fill `spare`: the
    // caller may change it, and it is the reader's again at the next call. Null at the end.
    virtual chat::Record *nextRecord(chat::Record &spare) { return next(spare) ? &spare : nullptr; }

    // Progress: how many units (lines or bytes of the export) there are, and how many were read
    // in this pass.
    virtual qsizetype total() = 0;
    virtual qsizetype consumed() const = 0;

    // Whether the records are held in memory, so that a pass after the first costs no reading.
    virtual bool heldWhole() const { return false; }
    // Whether its records may be read on a thread other than the caller's (one at a time):
    // such a reader touches nothing of the caller's while it reads.
    virtual bool readsAnywhere() const { return false; }

    virtual bool failed() const = 0;
    virtual QString errorString() const = 0;
};
