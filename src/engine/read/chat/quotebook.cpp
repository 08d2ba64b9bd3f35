#include "engine/read/chat/quotebook.h"

quint64 chat::idKey(QStringView id)
{
    return quint64(qHash(id, size_t(0x9e3779b97f4a7c15ULL)));
}

void QuoteBook::clear()
{
    m_slots.clear();
    m_oldest = 0;
    m_index.clear();
    m_senders.clear();
    m_senderIndex.clear();
}

void QuoteBook::remember(const chat::Message &message)
{
    if (message.id.isEmpty())
        return;
    const quint64 key = chat::idKey(message.id);
    m_index.prefetch(key); // the quote is made meanwhile
    if (qsizetype(m_slots.size()) == Bound) // and the oldest's, forgotten below unless an edit
        m_index.prefetch(m_slots[size_t(m_oldest)].key);
    Quote made;
    auto sender = m_senderIndex.constFind(message.sender);
    if (sender == m_senderIndex.constEnd()) {
        sender = m_senderIndex.insert(message.sender, int(m_senders.size()));
        m_senders.append(message.sender);
    }
    made.sender = *sender;
    // The start of its text on one line, its blanks run together (as QString::simplified()
    // would give it), made without a string of its own.
    bool blank = false;
    for (const QString &line : message.text) {
        blank = made.length > 0;
        for (const QChar c : line) {
            // No character past U+3000 (the ideographic space) is a blank: most of a CJK text
            // is known so without Qt's tables.
            if (c.unicode() <= 0x3000 && c.isSpace()) {
                blank = made.length > 0;
                continue;
            }
            if (blank && made.length < QuoteLength)
                made.text[made.length++] = u' ';
            blank = false;
            if (made.length == QuoteLength)
                break;
            made.text[made.length++] = c.unicode();
        }
        if (made.length == QuoteLength)
            break;
    }
    if (made.length == 0 && !message.attachments.isEmpty()) {
        const QString &name = message.attachments.first().name;
        made.length = qMin(name.size(), QuoteLength);
        std::copy_n(name.utf16(), made.length, made.text);
    }

    const qint64 at = m_index.value(key);
    if (at > 0) { // said again (an edit): its quote is made anew in place
        m_slots[size_t(at - 1)].quote = made;
    } else if (qsizetype(m_slots.size()) < Bound) {
        m_slots.push_back({key, made});
        m_index.insert(key, qint64(m_slots.size()));
    } else { // the oldest is forgotten
        Slot &slot = m_slots[size_t(m_oldest)];
        m_index.remove(slot.key);
        m_index.insert(key, m_oldest + 1);
        m_oldest = (m_oldest + 1) % Bound;
        slot = {key, made};
    }
}

void QuoteBook::fill(chat::Message &message) const
{
    if (message.replyTo.isEmpty())
        return;
    const qint64 at = m_index.value(chat::idKey(message.replyTo));
    if (at <= 0)
        return;
    const Quote &quote = m_slots[size_t(at - 1)].quote;
    message.replySender = m_senders.at(quote.sender);
    message.replyQuote = QString(reinterpret_cast<const QChar *>(quote.text), quote.length);
}
