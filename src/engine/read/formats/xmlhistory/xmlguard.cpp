#include "engine/read/formats/xmlhistory/xmlguard.h"

#include <QRegularExpression>
#include <QStringConverter>
#include <QStringView>
#include <optional>
#include <type_traits>

namespace {

// Reads markup from either the raw bytes (encodings that keep ASCII as ASCII) or decoded text.
template<typename Char> class Scanner
{
public:
    Scanner(const Char *text, qsizetype size)
        : m_text(text)
        , m_size(size)
    {
    }

    bool refused()
    {
        while (m_at < m_size) {
            if (at(m_at) != u'<') {
                ++m_at;
            } else if (skipped("<!--", "-->") || skipped("<![CDATA[", "]]>")
                       || skipped("<?", "?>")) {
                continue;
            } else if (startsWith("<!DOCTYPE")) {
                if (doctypeRefused())
                    return true;
            } else if (skipped("</", ">")) {
                --m_depth;
            } else if (skipped("<!", ">")) {
                continue;
            } else if (startTagRefused()) {
                return true;
            }
        }
        return false;
    }

private:
    char16_t at(qsizetype i) const { return char16_t(std::make_unsigned_t<Char>(m_text[i])); }

    bool startsWith(const char *ascii) const
    {
        qsizetype i = m_at;
        for (; *ascii; ++ascii, ++i) {
            if (i >= m_size || at(i) != char16_t(*ascii))
                return false;
        }
        return true;
    }

    // When the text goes on with `open`: past it and past the first `close` after it.
    bool skipped(const char *open, const char *close)
    {
        if (!startsWith(open))
            return false;
        m_at += qsizetype(qstrlen(open));
        while (m_at < m_size && !startsWith(close))
            ++m_at;
        m_at = qMin(m_size, m_at + qsizetype(qstrlen(close)));
        return true;
    }

    // From a quote to past its partner.
    void skipQuoted()
    {
        const char16_t quote = at(m_at);
        ++m_at;
        while (m_at < m_size && at(m_at) != quote)
            ++m_at;
        ++m_at;
    }

    // Outside quotes an "=" in a start tag stands between an attribute's name and its value.
    bool startTagRefused()
    {
        int attributes = 0;
        for (++m_at; m_at < m_size;) {
            const char16_t c = at(m_at);
            if (c == u'"' || c == u'\'') {
                skipQuoted();
            } else if (c == u'>' || c == u'<') {
                if (c == u'>' && at(m_at - 1) != u'/' && ++m_depth > MaxXmlDepth)
                    return true;
                break;
            } else {
                if (c == u'=' && ++attributes > MaxXmlAttributes)
                    return true;
                ++m_at;
            }
        }
        return false;
    }

    // The document type declaration, with its internal subset: quoted literals, comments and
    // processing instructions are passed over whole, so nothing inside them counts.
    bool doctypeRefused()
    {
        bool inSubset = false;
        for (m_at += 9; m_at < m_size;) {
            const char16_t c = at(m_at);
            if (c == u'"' || c == u'\'') {
                skipQuoted();
            } else if (inSubset && (skipped("<!--", "-->") || skipped("<?", "?>"))) {
                continue;
            } else if (inSubset && (startsWith("<!ENTITY") || startsWith("<!ATTLIST"))) {
                return true;
            } else {
                ++m_at;
                if (c == u'[')
                    inSubset = true;
                else if (c == u']')
                    inSubset = false;
                else if (c == u'>' && !inSubset)
                    break;
            }
        }
        return false;
    }

    const Char *m_text;
    qsizetype m_size;
    qsizetype m_at = 0;
    int m_depth = 0; // elements open
};

// The encoding named in the XML declaration, if any.
QByteArray declaredEncoding(const QByteArray &data)
{
    static const QRegularExpression declaration(QStringLiteral(
        R"(^(?:\x{EF}\x{BB}\x{BF})?<\?xml\s[^>]*?\bencoding\s*=\s*(["'])([A-Za-z0-9._:-]+)\1)"));
    const QString head = QString::fromLatin1(data.left(512));
    const QRegularExpressionMatch m = declaration.match(head);
    return m.hasMatch() ? m.captured(2).toLatin1().toLower() : QByteArray();
}

// Encodings in which every byte below 0x40 stands for itself: markup can be read from the bytes.
bool keepsAsciiMarkup(const QByteArray &name)
{
    static const QRegularExpression ascii(QStringLiteral(
        "^(utf-?8|us-ascii|ascii|shift[_-]?jis|sjis|x-sjis|windows-31j|cp932|ms932|euc-jp|"
        "iso-8859-\\d+|latin-?\\d|windows-125\\d)$"));
    return ascii.match(QString::fromLatin1(name)).hasMatch();
}

} // namespace

bool xmlStructureRefused(const QByteArray &data)
{
    // Decoded the way the parser decodes it: a byte order mark or the first "<" in UTF-16 or
    // UTF-32, else the declared encoding.
    std::optional<QStringConverter::Encoding> found = QStringConverter::encodingForData(data, u'<');
    QStringDecoder decoder;
    if (found && *found != QStringConverter::Utf8) {
        decoder = QStringDecoder(*found);
    } else if (!found) {
        const QByteArray name = declaredEncoding(data);
        if (!name.isEmpty() && !keepsAsciiMarkup(name))
            decoder = QStringDecoder(name.constData());
    }
    if (decoder.isValid()) {
        const QString text = decoder.decode(data);
        return Scanner<char16_t>(reinterpret_cast<const char16_t *>(text.constData()), text.size())
            .refused();
    }
    return Scanner<char>(data.constData(), data.size()).refused();
}
