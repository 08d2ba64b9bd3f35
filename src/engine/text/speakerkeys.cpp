#include "engine/text/speakerkeys.h"

#include "engine/text/markupfilter.h"
#include "settings/palette.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

namespace {

bool hasWildcards(const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('#')
            || c == QLatin1Char('['))
            return true;
    }
    return false;
}

} // namespace

QString trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.sliced(begin, end - begin).toString();
}

QString speakerClassName(qsizetype speaker)
{
    const qsizetype number = speaker + 1;
    return QStringLiteral("HATSUGEN_")
        + (number <= 99 ? colorcode::twoDigits(int(number)) : QString::number(number));
}

SpeakerKeys::SpeakerKeys(const QString &headerText, bool escapedText)
    : m_headerText(headerText)
    , m_escapedText(escapedText)
    , m_headerHasWildcards(hasWildcards(headerText))
    , m_header(headerText)
{
}

QStringView SpeakerKeys::headerPrefix(QStringView headerLine, LineRole role) const
{
    if (role == LineRole::Header)
        return headerLine;
    const qsizetype at = headerLine.indexOf(m_headerText);
    if (at >= 0)
        return headerLine.first(at + m_headerText.size());
    if (m_headerHasWildcards) {
        // The shortest beginning that matches "*" + headerText, found in one pass.
        const qsizetype end = m_header.firstMatchEnd(headerLine);
        if (end >= 0)
            return headerLine.first(end);
    }
    return headerLine; // not a header line; the whole line stands for itself
}

qsizetype SpeakerKeys::headerStart(QStringView prefix) const
{
    if (prefix.endsWith(m_headerText))
        return prefix.size() - m_headerText.size();
    // A wildcard header: its match is taken as short as possible.
    const qsizetype start = m_header.lastMatchStart(prefix);
    return start >= 0 ? start : prefix.size();
}

void SpeakerKeys::add(QStringView headerLine, LineRole role, qsizetype lines)
{
    addKey(headerPrefix(headerLine, role).toString(), lines);
}

void SpeakerKeys::add(const QString &headerLine, LineRole role, qsizetype lines)
{
    const QStringView prefix = headerPrefix(headerLine, role);
    addKey(prefix.size() == headerLine.size() ? headerLine : prefix.toString(), lines);
}

void SpeakerKeys::addKey(const QString &key, qsizetype lines)
{
    if (const auto found = m_index.constFind(key); found != m_index.cend()) {
        m_keys[*found].lines += lines;
        return;
    }
    m_index.insert(key, m_keys.size());
    // A chat tag cut open where the name ends is text in the title and the legend.
    const QStringView prefix = key;
    QString name = trimBlanks(prefix.first(headerStart(prefix)));
    if (name.contains(u'<'))
        name = filterChatMarkup(name);
    m_keys.append({key, name, lines});
}

void SpeakerKeys::finish()
{
    QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    struct Sortable
    {
        QCollatorSortKey sortKey;
        qsizetype index;
    };
    QList<Sortable> order;
    order.reserve(m_keys.size());
    for (qsizetype k = 0; k < m_keys.size(); ++k)
        order.append({collator.sortKey(key(k)), k});
    std::sort(order.begin(), order.end(), [this](const Sortable &a, const Sortable &b) {
        const int c = a.sortKey.compare(b.sortKey);
        if (c != 0)
            return c < 0;
        return m_keys[a.index].prefix < m_keys[b.index].prefix; // code point order
    });

    QList<Key> sorted;
    sorted.reserve(m_keys.size());
    m_index.clear();
    for (const Sortable &s : order) {
        m_index.insert(m_keys[s.index].prefix, sorted.size());
        sorted.append(std::move(m_keys[s.index]));
    }
    m_keys = std::move(sorted);
}

QStringList SpeakerKeys::names() const
{
    QStringList out;
    out.reserve(m_keys.size());
    for (const Key &k : m_keys)
        out.append(k.name);
    return out;
}

QString SpeakerKeys::plainName(qsizetype k) const
{
    const QString &name = m_keys[k].name;
    if (!m_escapedText || !name.contains(u'&'))
        return name;
    return QString(name)
        .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

qsizetype SpeakerKeys::speakerOf(QStringView headerLine, qsizetype *prefixLength,
                                 LineRole role) const
{
    const QStringView prefix = headerPrefix(headerLine, role);
    if (prefixLength)
        *prefixLength = prefix.size();
    return m_index.value(prefix.toString(), -1);
}

qsizetype SpeakerKeys::speakerOf(const QString &headerLine, qsizetype *prefixLength,
                                 LineRole role) const
{
    const QStringView prefix = headerPrefix(headerLine, role);
    if (prefixLength)
        *prefixLength = prefix.size();
    return m_index.value(prefix.size() == headerLine.size() ? headerLine : prefix.toString(), -1);
}
