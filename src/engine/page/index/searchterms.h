#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>
#include <memory>
#include <utility>
#include <vector>

// The terms of an index's search: which pages hold which folded characters and pairs of
// characters, and in how many of their utterances. A query in the index loads only the term
// files its own terms fall in, so that it knows at once which pages may hold its words (and for
// words of one or two characters, how many utterances do), and reads the text of those alone.
//
// Text is folded as the pages' search folds it (search.js): NFKC, lower case, katakana as
// hiragana, a final sigma as any sigma. A term is one UTF-16 unit of the folded text, or two
// that follow each other, as a number: the first unit in the high half, the second (or 0) in
// the low one. Pairs holding U+0000 are left out: no query holds it.
namespace searchterms {

using Term = quint32;

// 2^32 over the golden ratio: a term times it has every bit of the term in its top bits.
constexpr quint32 Fibonacci = 0x9E3779B1u;

// The text folded for the search.
QString fold(QStringView text);
// The same into `folded`, which keeps its room from one text to the next.
void foldInto(QStringView text, QString &folded);

// The terms of one page, counted by the utterances that hold them.
class PageTerms
{
public:
    PageTerms();
    // The next utterance's text, as the search data holds it.
    void addUtterance(QStringView text);
    // Each term once, in ascending order, with its count of utterances.
    QList<std::pair<Term, quint32>> sorted() const;

private:
    struct Slot
    {
        Term term = 0;
        quint32 count = 0; // 0: the slot is free
        quint32 last = 0; // the utterance that counted it last
        quint32 unused = 0; // sixteen bytes: a slot never straddles two cache lines
    };
    struct Single
    {
        quint32 count = 0;
        quint32 last = 0;
    };
    void grow();
    // The slot a pair starts looking from: the top bits of its Fibonacci hash.
    quint32 slotOf(Term term) const { return (term * Fibonacci) >> m_shift; }

    // Single units by their value (zeroed by the system as they are first touched); pairs in an
    // open table.
    std::unique_ptr<Single, void (*)(void *)> m_singles;
    std::vector<Slot> m_slots; // 2^(32 - m_shift) of them
    int m_shift;
    quint32 m_mask; // the number of slots less one
    qsizetype m_used = 0;
    quint32 m_utterance = 0;
    QString m_folded;
};

// Which of `shardCount` term files (a power of two, up to 65 536) holds a term.
quint32 shardOf(Term term, quint32 shardCount);

// The term as the script names it: its one or two units.
QString termText(Term term);
// The term of one or two units; false for anything else.
bool termOf(QStringView text, Term &term);

// A term's pages as the term file writes them: for each page, the step from the one before (the
// row number plus one for the first) and the utterance count, each as digits of five bits, most
// significant first, all but the last from a second alphabet. Plain letters and digits only.
void appendPostings(const QList<std::pair<quint32, quint32>> &rowsAndCounts, QByteArray &out);
// The pages of `text` written so; false when it is not such a list.
bool readPostings(QByteArrayView text, QList<std::pair<quint32, quint32>> &rowsAndCounts);

// Numbers in the run's own temporary files: seven bits a byte, the lowest first.
void appendVarint(quint32 n, QByteArray &out);
bool readVarint(const QByteArray &in, qsizetype &at, quint32 &n);

} // namespace searchterms
