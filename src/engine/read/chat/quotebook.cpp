#include "engine/read/chat/quotebook.h"

quint64 chat::idKey(QStringView id)
{
    return quint64(qHash(id, size_t(0x9e3779b97f4a7c15ULL)));
}

void QuoteBook::clear()
{
    m_slots.clear();
    m_said = m_tabled = 0;
    m_index.clear();
    m_senders.clear();
    m_senderIndex.clear();
    m_lastSender = -1;
}

void QuoteBook::remember(const chat::Message &message)
{
    if (message.id.isEmpty())
        return;
    if (m_slots.empty())
        m_slots.reserve(size_t(Bound)); // its pages are touched as they are filled
    if (qsizetype(m_slots.size()) < Bound)
        m_slots.emplace_back();
    Slot &slot = m_slots[size_t(m_said % Bound)];
    ++m_said;
    slot.key = chat::idKey(message.id);
    Quote &quote = slot.quote;

    // Mostly the sender of the message before: compared, not hashed.
    if (m_lastSender < 0 || m_senders[m_lastSender] != message.sender) {
        auto sender = m_senderIndex.constFind(message.sender);
        if (sender == m_senderIndex.constEnd()) {
            sender = m_senderIndex.insert(message.sender, int(m_senders.size()));
            m_senders.append(message.sender);
        }
        m_lastSender = *sender;
    }
    quote.sender = m_lastSender;
    // The start of its text on one line, its blanks run together (as QString::simplified()
    // would give it), made without a string of its own.
    quote.length = 0;
    bool blank = false;
    for (const QString &line : message.text) {
        blank = quote.length > 0;
        for (const QChar c : line) {
            // No character past U+3000 (the ideographic space) is a blank: most of a CJK text
            // is known so without Qt's tables.
            if (c.unicode() <= 0x3000 && c.isSpace()) {
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
}

void QuoteBook::table()
{
    // Ids said long ago and never asked for would fill the table: it starts again from the
    // messages still held once it holds many more.
    if (qsizetype(m_index.size()) > 4 * Bound) {
        m_index.clear();
        m_tabled = 0;
    }
    const qint64 from = qMax(m_tabled, m_said - Bound); // those before are overwritten
    // Each home is asked for a few messages ahead of its insertion, so that the waits on
    // memory overlap.
    constexpr qint64 Ahead = 8;
    for (qint64 n = from; n < qMin(m_said, from + Ahead); ++n)
        m_index.prefetch(m_slots[size_t(n % Bound)].key);
    for (qint64 n = from; n < m_said; ++n) {
        if (n + Ahead < m_said)
            m_index.prefetch(m_slots[size_t((n + Ahead) % Bound)].key);
        m_index.insert(m_slots[size_t(n % Bound)].key, n + 1);
    }
    m_tabled = m_said;
}

void QuoteBook::fill(chat::Message &message)
{
    if (message.replyTo.isEmpty())
        return;
    if (m_tabled < m_said)
        table();
    const qint64 n = m_index.value(chat::idKey(message.replyTo)) - 1;
    if (n < 0 || n < m_said - Bound)
        return;
    const Quote &quote = m_slots[size_t(n % Bound)].quote;
    message.replySender = m_senders.at(quote.sender);
    message.replyQuote = QString(reinterpret_cast<const QChar *>(quote.text), quote.length);
}
