#include "engine/text/redaction.h"

#include <algorithm>

namespace {

// What a line holds decides which masks are tried: most lines of a chat hold none of it, and a
// log may have millions of lines.
struct Hints
{
    bool digit = false;
    bool at = false;
    bool query = false;
    bool prefecture = false;
};

Hints hintsOf(QStringView text)
{
    Hints h;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= u'0' && u <= u'9') || (u >= u'０' && u <= u'９') || u == u'〒' || u == u'丁')
            h.digit = true;
        else if (u == u'@' || u == u'＠')
            h.at = true;
        else if (u == u'?')
            h.query = true;
        else if (u == u'都' || u == u'道' || u == u'府' || u == u'県')
            h.prefecture = true;
    }
    return h;
}

struct Mask
{
    QRegularExpression pattern;
    QString mark; // may refer to the pattern's groups
    bool Hints::*needs;
};

QRegularExpression compiled(const QString &pattern)
{
    QRegularExpression re(pattern, QRegularExpression::UseUnicodePropertiesOption);
    re.optimize();
    return re;
}

// The masks, in the order they are tried: a URL's query before the e-mail address it may hold,
// phone numbers before the postal codes their parts look like.
const QList<Mask> &masks()
{
    static const QList<Mask> all = [] {
        const QString d = QStringLiteral("[0-9０-９]");
        const QString hyphens = QStringLiteral("\\-‐‑−－");
        const QString h = u'[' + hyphens + u']';
        const QString notDigitBefore = QStringLiteral("(?<![0-9０-９])");
        const QString notDigitAfter = QStringLiteral("(?![0-9０-９])");
        // A Japanese number has 10 or 11 digits however it is grouped.
        const QString tenOrEleven = QStringLiteral("(?=%1(?:%2?%1){9,10}(?!%2?%1))").arg(d, h);
        const QString phone = notDigitBefore
            + QStringLiteral("(?:")
            // +81 90 1234 5678, +81-3-1234-5678, +819012345678
            + QStringLiteral("[+＋]%1{1,3}(?:[ %2]?%1{1,4}){2,4}").arg(d, hyphens)
            // (03) 1234-5678
            + QStringLiteral("|[(（]0%1{1,4}[)）] ?%1{1,4}%2?%1{3,4}").arg(d, h)
            // 090-1234-5678, 03-1234-5678, 0120-123-456, 09012345678
            + QStringLiteral("|%3[0０]%1{0,4}%2?%1{1,4}%2?%1{3,4}").arg(d, h, tenOrEleven)
            + QStringLiteral(")") + notDigitAfter;
        const QString postal
            = QStringLiteral("〒 ?%1{3}%2?%1{4}|(?<![0-9０-９%3])%1{3}%2%1{4}").arg(d, h, hyphens)
            + QStringLiteral("(?![0-9０-９]|%1%2)").arg(h, d);
        // Places: a prefecture, then cities, wards, towns and villages, then the house number
        // ("2丁目3番4号", "1-2-3").
        const QString place = QStringLiteral("[\\p{Han}ヶケ々]");
        const QString towns = QStringLiteral("(?:%1{1,8}?[市区町村郡]){1,3}").arg(place);
        const QString kanjiDigit = QStringLiteral("[0-9０-９一二三四五六七八九十〇]");
        const QString houseNumber
            = QStringLiteral("(?:%1{1,4}(?:丁目|番地|番|号)(?: ?%1{1,4}(?:丁目|番地|番|号|%2))*"
                             "%1{0,4}|%3{1,4}(?:%2%3{1,4}){1,3})")
                  .arg(kanjiDigit, h, d)
            + notDigitAfter;
        const QString prefecture
            = QStringLiteral("(?:東京都|北海道|京都府|大阪府|\\p{Han}{2,3}県)");
        const QString withPrefecture
            = prefecture + towns + QStringLiteral("(?:%1{0,10}?%2)?").arg(place, houseNumber);
        const QString numbered = towns + QStringLiteral("%1{0,10}?").arg(place) + houseNumber
            + QStringLiteral("|\\p{Han}{2,}%1{1,4}%2%1{1,4}%2%1{1,4}").arg(d, h) + notDigitAfter;
        return QList<Mask> {
            {compiled(QStringLiteral("(https?://[^\\s?#<>\"'）]+)\\?[^\\s#<>\"'）]+")),
             QStringLiteral("\\1?[伏せ字]"), &Hints::query},
            {compiled(
                 QStringLiteral("[A-Za-z0-9._%+\\-]+[@＠][A-Za-z0-9\\-]+(?:\\.[A-Za-z0-9\\-]+)*"
                                "\\.[A-Za-z]{2,}")),
             QStringLiteral("[メール]"), &Hints::at},
            {compiled(phone), QStringLiteral("[電話番号]"), &Hints::digit},
            {compiled(postal), QStringLiteral("[郵便番号]"), &Hints::digit},
            {compiled(withPrefecture), QStringLiteral("[住所]"), &Hints::prefecture},
            {compiled(numbered), QStringLiteral("[住所]"), &Hints::digit},
        };
    }();
    return all;
}

// Up to this many names, a line is first searched for each of them.
constexpr qsizetype QuickLookNames = 16;

bool isWordChar(QChar c)
{
    return c.isDigit() || (c.isLetter() && c.script() == QChar::Script_Latin);
}

} // namespace

void maskPersonalDetails(QString &text)
{
    const Hints hints = hintsOf(text);
    if (!hints.digit && !hints.at && !hints.query && !hints.prefecture)
        return;
    for (const Mask &mask : masks()) {
        if (hints.*mask.needs)
            text.replace(mask.pattern, mask.mark);
    }
}

QString nameStandIn(qsizetype n)
{
    QString letters;
    for (qsizetype k = n + 1; k > 0; k = (k - 1) / 26)
        letters.prepend(QChar(u'A' + char16_t((k - 1) % 26)));
    return QStringLiteral("人物") + letters;
}

void RedactedNames::add(const QStringList &names)
{
    bool added = false;
    for (const QString &name : names) {
        if (name.trimmed().isEmpty() || m_standIns.contains(name))
            continue;
        const QString standIn = nameStandIn(m_standIns.size());
        m_standIns.insert(name, standIn);
        m_originals.insert(standIn, name);
        added = true;
    }
    if (!added)
        return;
    m_known = m_standIns.keys();
    std::sort(m_known.begin(), m_known.end(), [](const QString &a, const QString &b) {
        return a.size() != b.size() ? a.size() > b.size() : a < b;
    });
    QStringList alternatives;
    for (const QString &name : std::as_const(m_known)) {
        QString piece = QRegularExpression::escape(name);
        if (isWordChar(name.front()))
            piece.prepend(QStringLiteral("(?<![\\p{Latin}\\p{N}])"));
        if (isWordChar(name.back()))
            piece.append(QStringLiteral("(?![\\p{Latin}\\p{N}])"));
        alternatives.append(piece);
    }
    m_names = compiled(alternatives.join(u'|'));
    m_byFirst.clear();
    if (!m_names.isValid()) { // past some thousand names the pattern is too large to compile
        for (qsizetype i = 0; i < m_known.size(); ++i)
            m_byFirst[m_known.at(i).front().unicode()].append(i);
    }
}

namespace {

// Whether the character that ends before `at` (or starts at it) is one a name of Latin letters
// or digits may not touch, as the pattern's look-arounds tell it.
bool touches(QStringView text, qsizetype at, bool before)
{
    if (before ? at <= 0 : at >= text.size())
        return false;
    char32_t c = text[before ? at - 1 : at].unicode();
    if (before && QChar::isLowSurrogate(c) && at >= 2 && text[at - 2].isHighSurrogate())
        c = QChar::surrogateToUcs4(text[at - 2], QChar(char16_t(c)));
    else if (!before && QChar::isHighSurrogate(c) && at + 1 < text.size()
             && text[at + 1].isLowSurrogate())
        c = QChar::surrogateToUcs4(QChar(char16_t(c)), text[at + 1]);
    return QChar::script(c) == QChar::Script_Latin || QChar::isNumber(c);
}

} // namespace

// The names looked for one place at a time, longest first, as the one pattern would find them.
void RedactedNames::replaceNamesByScan(QString &text) const
{
    QString out;
    qsizetype done = 0;
    for (qsizetype at = 0; at < text.size();) {
        const auto candidates = m_byFirst.constFind(text[at].unicode());
        const QString *found = nullptr;
        if (candidates != m_byFirst.constEnd()) {
            for (const qsizetype k : *candidates) {
                const QString &name = m_known.at(k);
                if (QStringView(text).sliced(at).startsWith(name)
                    && !(isWordChar(name.front()) && touches(text, at, true))
                    && !(isWordChar(name.back()) && touches(text, at + name.size(), false))) {
                    found = &name;
                    break;
                }
            }
        }
        if (!found) {
            ++at;
            continue;
        }
        out += QStringView(text).sliced(done, at - done);
        out += m_standIns.value(*found);
        at += found->size();
        done = at;
    }
    if (done == 0)
        return;
    out += QStringView(text).sliced(done);
    text = std::move(out);
}

void RedactedNames::replaceNames(QString &text) const
{
    if (m_standIns.isEmpty())
        return;
    if (!m_names.isValid()) {
        replaceNamesByScan(text);
        return;
    }
    // Most lines name no one: a few names are looked for directly, cheaper than matching.
    if (m_known.size() <= QuickLookNames
        && std::none_of(m_known.cbegin(), m_known.cend(),
                        [&text](const QString &name) { return text.contains(name); }))
        return;
    QRegularExpressionMatchIterator it = m_names.globalMatch(text);
    if (!it.hasNext())
        return;
    QString out;
    qsizetype done = 0;
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).sliced(done, m.capturedStart() - done);
        out += m_standIns.value(m.captured());
        done = m.capturedEnd();
    }
    out += QStringView(text).sliced(done);
    text = std::move(out);
}

void RedactedNames::redact(QString &text, const QString &keep) const
{
    const qsizetype at = keep.isEmpty() ? -1 : text.indexOf(keep);
    if (at < 0) {
        maskPersonalDetails(text);
        replaceNames(text);
        return;
    }
    QString before = text.first(at);
    QString after = text.sliced(at + keep.size());
    redact(before);
    redact(after);
    text = before + keep + after;
}
