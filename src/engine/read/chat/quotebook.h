#pragma once

#include "engine/read/chat/chatmodel.h"

#include <QHash>
#include <QString>
#include <deque>

// The start of recent messages by their ids, so that a reply can quote the message it answers
// without the chat being held whole: the oldest are forgotten past a bound (a reply to one of
// them then shows its id alone).
class QuoteBook
{
public:
    static constexpr qsizetype Bound = 50000;
    static constexpr qsizetype QuoteLength = 40;

    void clear()
    {
        m_quotes.clear();
        m_order.clear();
    }
    void remember(const chat::Message &message)
    {
        if (message.id.isEmpty())
            return;
        QString quote = message.text.join(u' ').simplified();
        if (quote.isEmpty() && !message.attachments.isEmpty())
            quote = message.attachments.first().name;
        quote.truncate(QuoteLength);
        if (!m_quotes.contains(message.id))
            m_order.push_back(message.id);
        m_quotes.insert(message.id, {message.sender, quote});
        if (qsizetype(m_order.size()) > Bound) {
            m_quotes.remove(m_order.front());
            m_order.pop_front();
        }
    }
    // Fills in the sender and quote of the message `message` answers, where remembered.
    void fill(chat::Message &message) const
    {
        const auto it = m_quotes.constFind(message.replyTo);
        if (message.replyTo.isEmpty() || it == m_quotes.constEnd())
            return;
        message.replySender = it->sender;
        message.replyQuote = it->quote;
    }

private:
    struct Quote
    {
        QString sender;
        QString quote;
    };
    QHash<QString, Quote> m_quotes;
    std::deque<QString> m_order;
};
