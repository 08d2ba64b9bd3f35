#include "engine/read/chat/quotebook.h"

quint64 chat::idKey(QStringView id)
{
    return quint64(qHash(id, size_t(0x9e3779b97f4a7c15ULL)));
}

void QuoteBook::clear()
{
    m_quotes.clear();
    m_order.clear();
    m_senders.clear();
    m_senderIndex.clear();
}

void QuoteBook::remember(const chat::Message &message)
{
    if (message.id.isEmpty())
        return;
    const quint64 key = chat::idKey(message.id);
    const qsizetype known = m_quotes.size();
    Quote &quote = m_quotes[key];
    if (m_quotes.size() != known)
        m_order.push_back(key);

    auto sender = m_senderIndex.constFind(message.sender);
    if (sender == m_senderIndex.constEnd()) {
        sender = m_senderIndex.insert(message.sender, int(m_senders.size()));
        m_senders.append(message.sender);
    }
    quote.sender = *sender;
    // The start of its text on one line, its blanks run together (as QString::simplified()
    // would give it), made without a string of its own.
    quote.length = 0;
    bool blank = false;
    for (const QString &line : message.text) {
        blank = quote.length > 0;
        for (const QChar c : line) {
            if (c.isSpace()) {
                blank = quote.length > 0;
                continue;
            }
            if (blank && quote.length < QuoteLength)
                quote.text[quote.length++] = u' ';
            blank = false;
            if (quote.length == QuoteLength)
                break;
            quote.text[quote.length++] = c.unicode();
        }
        if (quote.length == QuoteLength)
            break;
    }
    if (quote.length == 0 && !message.attachments.isEmpty()) {
        const QString &name = message.attachments.first().name;
        quote.length = qMin(name.size(), QuoteLength);
        std::copy_n(name.utf16(), quote.length, quote.text);
    }

    if (qsizetype(m_order.size()) > Bound) {
        m_quotes.remove(m_order.front());
        m_order.pop_front();
    }
}

void QuoteBook::fill(chat::Message &message) const
{
    if (message.replyTo.isEmpty())
        return;
    const auto it = m_quotes.constFind(chat::idKey(message.replyTo));
    if (it == m_quotes.constEnd())
        return;
    message.replySender = m_senders.at(it->sender);
    message.replyQuote = QString(reinterpret_cast<const QChar *>(it->text), it->length);
}
