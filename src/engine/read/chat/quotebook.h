#pragma once

#include "engine/read/chat/chatmodel.h"
#include "engine/read/chat/idtable.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

namespace chat {

// A message's id as a number to look it up by (a 64-bit hash: two ids of one chat come out the
// same about once in 10^10 chats), so that the tables of ids hold no strings of their own.
quint64 idKey(QStringView id);

} // namespace chat

// The start of recent messages by their ids, so that a reply can quote the message it answers
// without the chat being held whole: the oldest are forgotten past a bound (a reply to one of
// them then shows its id alone).
class QuoteBook
{
public:
    static constexpr qsizetype Bound = 50000;
    static constexpr qsizetype QuoteLength = 40;

    void clear();
    void remember(const chat::Message &message);
    // Fills in the sender and quote of the message `message` answers, where remembered.
    void fill(chat::Message &message);

private:
    // Held in place, with no string of its own: every message with an id is remembered.
    struct Quote
    {
        int sender = 0; // in m_senders
        qsizetype length = 0;
        char16_t text[QuoteLength];
    };
    struct Slot
    {
        quint64 key;
        Quote quote;
    };
    // Puts the quotes remembered since the last reply into the table.
    void table();

    // The quotes in the order remembered, message n in slot n % Bound: the oldest overwritten.
    std::vector<Slot> m_slots;
    qint64 m_said = 0; // messages remembered
    // Which message each id was said last in, from 1: put in the table only once a reply
    // asks, and then a run at a time, since most chats answer few of their messages and a
    // table larger than the cache costs a wait on memory for every message put in it one by
    // one. A message whose slot was overwritten since is forgotten.
    IdTable m_index;
    qint64 m_tabled = 0; // messages in the table
    QStringList m_senders;
    QHash<QString, int> m_senderIndex;
    int m_lastSender = -1; // in m_senders
};
