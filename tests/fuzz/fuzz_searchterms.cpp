// The index's search terms: the quick folding of plain text against NFKC and lower case over
// the whole text, every counted term found in the folded text, and a term's pages read back as
// they were written.
//
// Input: each byte picks a character of an alphabet where plain characters meet marks that
// join the character before them; the same bytes, two at a time, give pages and counts.
#include "engine/page/index/searchterms.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr char16_t Alphabet[]
    = {u'a',      u'Z',      u' ',      u'\n',     u'\x01', u'か',
       u'カ',     u'ヽ',     u'ー',     u'漢',     u'、',   u'「',
       u'\u3000', u'〜',     u'―',      u'Ａ',     u'ｗ',   u'！',
       u'\u3099', u'\u309A', u'\u0301', u'\u0307', u'ﾃ',    u'ﾞ',
       u'㈱',     u'Ⅱ',      u'①',      u'Σ',      u'ς',    u'İ',
       u'\u1100', u'\u1161', u'\u11A8', u'가',     u'\xE9', char16_t(0xD83D),

       u'\uFB01', u'…',      u'\0',     u'ｶ',      u'ﾟ',    u'\u3131',
       u'\u3133', u'\u314F', u'\u212B', u'\u20DD', u'ǅ',    u'\u2126',
       u'ｰ',      u'\u0CD5', u'\u0CBF', u'\u3300'};
constexpr int AlphabetSize = int(sizeof(Alphabet) / sizeof(Alphabet[0]));

QString slowFold(const QString &text)
{
    QString folded = text.normalized(QString::NormalizationForm_KC).toLower();
    for (QChar &c : folded) {
        const char16_t u = c.unicode();
        if ((u >= 0x30A1 && u <= 0x30F6) || u == 0x30FD || u == 0x30FE)
            c = QChar(char16_t(u - 0x60));
        else if (u == 0x03C2)
            c = QChar(char16_t(0x03C3));
    }
    return folded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString text;
    for (size_t i = 0; i < size && i < 256; ++i) {
        text += QChar(Alphabet[data[i] % AlphabetSize]);
        if (text.back().isHighSurrogate()) // whole pairs: the page's script keeps a lone one
            text += QChar(char16_t(0xDE00)); // as it is, where Qt's lower case makes it U+FFFD
    }
    const QString folded = searchterms::fold(text);
    if (folded != slowFold(text))
        std::abort();

    searchterms::PageTerms terms;
    terms.addUtterance(text);
    QString spaced = folded;
    spaced.replace(QChar(1), QChar(u' '));
    for (const auto &[term, count] : terms.sorted()) {
        if (count != 1 || !spaced.contains(searchterms::termText(term)))
            std::abort();
    }

    QList<std::pair<quint32, quint32>> written, read;
    quint32 row = 0;
    for (size_t i = 0; i + 1 < size; i += 2) {
        row += data[i] * 977u;
        written.append({row++, 1 + data[i + 1] * 65537u});
    }
    QByteArray out;
    searchterms::appendPostings(written, out);
    if (!searchterms::readPostings(out, read) || read != written)
        std::abort();
    return 0;
}
