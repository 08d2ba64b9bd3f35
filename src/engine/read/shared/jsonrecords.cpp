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
    m_error.clear();
    m_inArray = false;
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
    m_inArray = true;
    return true;
}

bool JsonRecords::next(chat::Record &record)
{
    while (m_inArray && !failed()) {
        switch (m_pull.next()) {
        case JsonPull::Token::EndArray:
            m_inArray = false;
            return false;
        case JsonPull::Token::StartObject:
            m_item.SetNull();
            m_item.GetAllocator().Clear();
            if (!m_pull.take(m_item))
                return false;
            record = {};
            if (convert(m_item, record))
                return true;
            break;
        case JsonPull::Token::Error:
            return false;
        default: // anything but an object in the list is passed over
            if (!m_pull.skip())
                return false;
            break;
        }
    }
    return false;
}
