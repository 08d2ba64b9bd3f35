#pragma once

#include "engine/read/chat/recordreader.h"
#include "engine/read/shared/jsonobjects.h"
#include "engine/read/shared/jsonpull.h"

#include <QFile>
#include <memory>
#include <rapidjson/document.h>

// The records of a JSON export that holds its chat's messages in one array: the reader walks to
// the array (enter()), then reads its items one at a time, each whole as a small document (a
// long array's parsed a few batches ahead on a thread of their own), and a format turns each
// into records. The array is never held whole.
class JsonRecords : public RecordReader
{
public:
    explicit JsonRecords(QIODevice &device);
    // A file of an export, owned by the reader.
    explicit JsonRecords(std::unique_ptr<QIODevice> device);

    bool load() override;
    const chat::Chat &chat() const override { return m_chat; }
    bool restart() override;
    bool next(chat::Record &record) override;
    qsizetype total() override { return qsizetype(m_device.size()); }
    qsizetype consumed() const override
    {
        return qsizetype(m_objects ? m_objects->offset() : m_pull.offset());
    }
    bool failed() const override
    {
        return (m_objects ? m_objects->failed() : m_pull.failed()) || !m_error.isEmpty();
    }
    QString errorString() const override
    {
        return m_error.isEmpty() ? m_pull.errorString() : m_error;
    }

protected:
    // From the start of the text, walks to the array of messages: true with the pull just
    // past its StartArray, noting in `chat` what the export says of the chat on the way.
    virtual bool enter(JsonPull &pull, chat::Chat &chat) = 0;
    // Turns one item of the array into a record; false to pass over it.
    virtual bool convert(const rapidjson::Value &item, chat::Record &record) = 0;
    // Fails the reading with a message of the format's own.
    void fail(const QString &error) { m_error = error; }

    std::unique_ptr<QIODevice> m_owned;
    QIODevice &m_device;
    JsonPull m_pull;
    chat::Chat m_chat;

private:
    QString m_error;
    // The array's items, once entered; destroyed before the pull it reads.
    std::unique_ptr<JsonObjects> m_objects;
};
