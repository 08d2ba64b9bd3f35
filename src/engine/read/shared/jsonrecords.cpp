#include "engine/read/shared/jsonrecords.h"

#include <QCoreApplication>

JsonRecords::JsonRecords(QIODevice &device)
    : m_device(device)
    , m_pull(device)
{
}

JsonRecords::JsonRecords(std::unique_ptr<QIODevice> device)
    : m_owned(std::move(device))
    , m_device(*m_owned)
    , m_pull(*m_owned)
{
}

bool JsonRecords::load()
{
    return restart();
}

bool JsonRecords::restart()
{
    m_objects.reset(); // its thread stops before the device moves
    m_error.clear();
    if (!m_device.seek(0)) {
        m_error = m_device.errorString();
        return false;
    }
    m_pull.reset();
    m_chat = {};
    if (!enter(m_pull, m_chat)) {
        if (!failed())
            //: A JSON file that is not the export its start promised.
            m_error
                = QCoreApplication::translate("FileError", "the JSON holds no list of messages");
        return false;
    }
    m_objects = std::make_unique<JsonObjects>(m_pull, JsonPull::takeObject, true);
    return true;
}

bool JsonRecords::next(chat::Record &record)
{
    if (!m_objects || !m_error.isEmpty())
        return false;
    bool flag = false;
    while (const rapidjson::Value *item = m_objects->next(flag)) {
        record = {};
        if (convert(*item, record))
            return true;
        if (!m_error.isEmpty())
            return false;
    }
    return false;
}
