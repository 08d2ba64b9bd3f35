#include "engine/read/shared/textindex.h"

#include <QHash>

qint32 TextIndex::intern(QStringList &texts, QStringView text, const QString *whole)
{
    // At most half full.
    if (m_slots.size() < 2 * (texts.size() + 1)) {
        m_slots.fill(-1, qMax<qsizetype>(64, qNextPowerOfTwo(quint64(4 * texts.size()))));
        const size_t mask = size_t(m_slots.size() - 1);
        for (qsizetype i = 0; i < texts.size(); ++i) {
            size_t at = qHash(texts[i]) & mask;
            while (m_slots[at] >= 0)
                at = (at + 1) & mask;
            m_slots[at] = qint32(i);
        }
    }
    const size_t mask = size_t(m_slots.size() - 1);
    for (size_t at = qHash(text) & mask;; at = (at + 1) & mask) {
        const qint32 index = m_slots[at];
        if (index >= 0 && texts[index] != text)
            continue;
        if (index < 0) {
            m_slots[at] = qint32(texts.size());
            texts.append(whole ? *whole : text.toString());
        }
        return m_slots[at];
    }
}
