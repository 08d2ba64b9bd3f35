#include "engine/page/index/searchterms.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <vector>

namespace searchterms {

namespace {

// Digits of five bits: the last digit of a number from the first alphabet, the others from
// the second (index.js reads them so).
constexpr char LastDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
constexpr char MoreDigits[] = "WXYZabcdefghijklmnopqrstuvwxyz-_";

void appendNumber(quint32 n, QByteArray &out)
{
    char digits[8];
    int count = 0;
    do {
        digits[count++] = char(n & 31);
        n >>= 5;
    } while (n > 0);
    while (count > 1)
        out.append(MoreDigits[int(digits[--count])]);
    out.append(LastDigits[int(digits[0])]);
}

// The value of a digit, plus 32 when more digits follow; -1 for no digit.
int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'V')
        return c - 'A' + 10;
    if (c >= 'W' && c <= 'Z')
        return 32 + c - 'W';
    if (c >= 'a' && c <= 'z')
        return 32 + 4 + c - 'a';
    if (c == '-')
        return 32 + 30;
    if (c == '_')
        return 32 + 31;
    return -1;
}

bool readNumber(QByteArrayView text, qsizetype &at, quint32 &n)
{
    quint64 value = 0;
    for (int digits = 0; at < text.size() && digits < 7; ++digits) {
        const int v = digitValue(text[at++]);
        if (v < 0)
            return false;
        value = value * 32 + (v & 31);
        if (v < 32) {
            if (value > 0xFFFFFFFFu)
                return false;
            n = quint32(value);
            return true;
        }
    }
    return false;
}

} // namespace

namespace {

constexpr char16_t NotPlain = 0xFFFF; // itself no plain unit
constexpr char16_t Longer = 0xFFFE; // a plain unit that folds into more than one

// Katakana as hiragana, a final sigma as any sigma: after NFKC and lower case.
char16_t lastFold(char16_t u)
{
    if ((u >= 0x30A1 && u <= 0x30F6) || u == 0x30FD || u == 0x30FE)
        return u - 0x60;
    return u == 0x03C2 ? char16_t(0x03C3) : u;
}

// Each UTF-16 unit's folded form where it folds alone, whatever stands around it; else
// NotPlain. A unit folds alone when NFKC never joins it to the character before it: it
// decomposes into a starter that no composition takes as its second part. Before a unit that
// does not fold alone, NFKC may join the two (a kana and a voicing mark): such runs go through
// NFKC and lower case a run at a time.
struct PlainUnits
{
    std::array<char16_t, 0x10000> folded;
    QHash<char16_t, QString> longer; // "㈱" → "(株)"

    PlainUnits()
    {
        // Every second part of a canonical composition, and Hangul's vowels and final
        // consonants, which join the syllable before them.
        std::vector<bool> seconds(0x10000, false);
        for (char32_t u = 0; u < 0x10000; ++u) {
            if (QChar::decompositionTag(u) != QChar::Canonical)
                continue;
            const QString parts = QChar::decomposition(u);
            if (parts.size() >= 2 && !parts.back().isSurrogate())
                seconds[parts.back().unicode()] = true;
        }
        for (char16_t u = 0x1161; u <= 0x11C2; ++u)
            seconds[u] = true;
        for (quint32 u = 0; u < 0x10000; ++u)
            folded[u] = foldAlone(char16_t(u), seconds);
    }

    char16_t foldAlone(char16_t u, const std::vector<bool> &seconds)
    {
        // The common ones at once: ASCII, kana, kanji, Hangul syllables, full-width ASCII.
        if (u < 0x80)
            return u >= u'A' && u <= u'Z' ? char16_t(u + 0x20) : u;
        if ((u >= 0x3041 && u <= 0x3096) || (u >= 0x30A1 && u <= 0x30FE)
            || (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF)
            || (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0x3001 && u <= 0x3002)
            || (u >= 0x300C && u <= 0x300F) || u == 0x301C || u == 0x2015)
            return lastFold(u);
        if (u >= 0xFF01 && u <= 0xFF5E)
            return foldAlone(char16_t(u - 0xFEE0), seconds);
        if (u == 0x3000)
            return u' ';
        // Of the rest, the letters, marks and symbols chat text is made of.
        const bool tried = (u >= 0xA0 && u <= 0x24F) || (u >= 0x370 && u <= 0x4FF)
            || (u >= 0x2000 && u <= 0x2BFF) || (u >= 0x3003 && u <= 0x33FF)
            || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF5F && u <= 0xFFEF);
        if (!tried || QChar::isSurrogate(u))
            return NotPlain;
        const QString one(QChar {u});
        const QString parts = one.normalized(QString::NormalizationForm_KD);
        if (parts.isEmpty() || parts[0].isSurrogate() || QChar::combiningClass(u) != 0
            || parts[0].combiningClass() != 0 || seconds[parts[0].unicode()])
            return NotPlain;
        QString f = one.normalized(QString::NormalizationForm_KC).toLower();
        if (f.isEmpty() || f.size() > 4)
            return NotPlain;
        for (QChar &c : f)
            c = QChar(lastFold(c.unicode()));
        if (f.size() == 1)
            return f[0].unicode();
        longer.insert(u, f);
        return Longer;
    }
};

const PlainUnits &plainUnits()
{
    static const PlainUnits units;
    return units;
}

} // namespace

void foldInto(QStringView text, QString &folded)
{
    const PlainUnits &units = plainUnits();
    const std::array<char16_t, 0x10000> &plain = units.folded;
    const qsizetype n = text.size();
    const char16_t *in = text.utf16();
    folded.resize(n);
    char16_t *out = reinterpret_cast<char16_t *>(folded.data());
    qsizetype k = 0;
    // Room for `more` units besides one for each unit still to come.
    const auto room = [&](qsizetype more, qsizetype next) {
        if (k + more + (n - next) > folded.size()) {
            folded.resize(k + more + (n - next));
            out = reinterpret_cast<char16_t *>(folded.data());
        }
    };
    // Each unit is looked up once: as the next one, then as itself.
    char16_t next = n > 0 ? plain[in[0]] : NotPlain;
    for (qsizetype i = 0; i < n;) {
        const char16_t f = next;
        next = i + 1 < n ? plain[in[i + 1]] : NotPlain;
        if (f != NotPlain && (i + 1 == n || next != NotPlain)) {
            if (f != Longer) {
                out[k++] = f;
            } else {
                const QString &more = units.longer[in[i]];
                room(more.size(), i + 1);
                for (const QChar c : more)
                    out[k++] = c.unicode();
            }
            ++i;
            continue;
        }
        // A unit that does not fold alone, with the one before it.
        qsizetype end = i + 1;
        while (end < n && plain[in[end]] == NotPlain)
            ++end;
        const QString run = text.sliced(i, end - i)
                                .toString()
                                .normalized(QString::NormalizationForm_KC)
                                .toLower();
        room(run.size(), end);
        for (const QChar c : run)
            out[k++] = lastFold(c.unicode());
        i = end;
        next = i < n ? plain[in[i]] : NotPlain;
    }
    folded.truncate(k);
}

QString fold(QStringView text)
{
    QString folded;
    foldInto(text, folded);
    return folded;
}

PageTerms::PageTerms()
    : m_singles(static_cast<Single *>(std::calloc(0x10000, sizeof(Single))), std::free)
    , m_slots(1024)
    , m_shift(32 - 10)
    , m_mask(1024 - 1)
{
    if (!m_singles)
        throw std::bad_alloc();
}

void PageTerms::grow()
{
    const std::vector<Slot> old = std::exchange(m_slots, std::vector<Slot>(m_slots.size() * 2));
    --m_shift;
    m_mask = quint32(m_slots.size() - 1);
    const quint32 mask = m_mask;
    for (const Slot &s : old) {
        if (s.count == 0)
            continue;
        quint32 at = slotOf(s.term);
        while (m_slots[at].count != 0)
            at = (at + 1) & mask;
        m_slots[at] = s;
    }
}

void PageTerms::addUtterance(QStringView text)
{
    const quint32 utterance = ++m_utterance;
    foldInto(text, m_folded);
    const char16_t *u = reinterpret_cast<const char16_t *>(m_folded.constData());
    const qsizetype n = m_folded.size();
    // The tables in locals, so that they stay in registers; the pairs' again after it grows.
    Single *singles = m_singles.get();
    Slot *table = m_slots.data();
    quint32 mask = m_mask;
    int shift = m_shift;
    // The index's search joins a page's texts with U+0001, read as a space within a text.
    const auto unit = [u](qsizetype i) {
        return u[i] == 1 ? char16_t(u' ') : u[i];
    };
    char16_t next = n > 0 ? unit(0) : 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = next;
        next = i + 1 < n ? unit(i + 1) : 0;
        if (c == 0)
            continue;
        // Each term counted once an utterance, without a branch the processor could not
        // foresee.
        Single &single = singles[c];
        single.count += single.last != utterance;
        single.last = utterance;
        if (next == 0)
            continue;
        // A pair is never 0, the term of a free slot.
        const Term term = Term(c) << 16 | next;
        for (quint32 at = (term * Fibonacci) >> shift;; at = (at + 1) & mask) {
            Slot &s = table[at];
            if (s.term == term) {
                s.count += s.last != utterance;
                s.last = utterance;
                break;
            }
            if (s.count == 0) {
                s = {term, 1, utterance};
                if (++m_used * 2 > qsizetype(mask) + 1) {
                    grow();
                    table = m_slots.data();
                    mask = m_mask;
                    shift = m_shift;
                }
                break;
            }
        }
    }
}

QList<std::pair<Term, quint32>> PageTerms::sorted() const
{
    QList<std::pair<Term, quint32>> terms;
    terms.reserve(m_used);
    for (quint32 u = 1; u < 0x10000; ++u) {
        if (m_singles.get()[u].count != 0)
            terms.append({Term(u) << 16, m_singles.get()[u].count});
    }
    for (const Slot &s : m_slots) {
        if (s.count != 0)
            terms.append({s.term, s.count});
    }
    std::sort(terms.begin(), terms.end());
    return terms;
}

quint32 shardOf(Term term, quint32 shardCount)
{
    return ((term * Fibonacci) >> 16) & (shardCount - 1);
}

QString termText(Term term)
{
    const QChar units[2] = {QChar(char16_t(term >> 16)), QChar(char16_t(term & 0xFFFF))};
    return QString(units, (term & 0xFFFF) != 0 ? 2 : 1);
}

bool termOf(QStringView text, Term &term)
{
    if (text.isEmpty() || text.size() > 2 || text[0].unicode() == 0
        || (text.size() == 2 && text[1].unicode() == 0))
        return false;
    term = Term(text[0].unicode()) << 16 | (text.size() == 2 ? text[1].unicode() : 0);
    return true;
}

void appendPostings(const QList<std::pair<quint32, quint32>> &rowsAndCounts, QByteArray &out)
{
    qint64 previous = -1;
    for (const auto &[row, count] : rowsAndCounts) {
        appendNumber(quint32(row - previous - 1), out);
        appendNumber(count - 1, out);
        previous = row;
    }
}

bool readPostings(QByteArrayView text, QList<std::pair<quint32, quint32>> &rowsAndCounts)
{
    rowsAndCounts.clear();
    qint64 row = -1;
    for (qsizetype at = 0; at < text.size();) {
        quint32 step = 0, count = 0;
        if (!readNumber(text, at, step) || !readNumber(text, at, count) || count == 0xFFFFFFFFu)
            return false;
        row += qint64(step) + 1;
        if (row > 0xFFFFFFFFLL)
            return false;
        rowsAndCounts.append({quint32(row), count + 1});
    }
    return true;
}

void appendVarint(quint32 n, QByteArray &out)
{
    while (n >= 0x80) {
        out.append(char(0x80 | (n & 0x7F)));
        n >>= 7;
    }
    out.append(char(n));
}

bool readVarint(const QByteArray &in, qsizetype &at, quint32 &n)
{
    n = 0;
    for (int shift = 0; at < in.size() && shift < 35; shift += 7) {
        const uchar c = uchar(in[at++]);
        n |= quint32(c & 0x7F) << shift;
        if (c < 0x80)
            return true;
    }
    return false;
}

} // namespace searchterms
