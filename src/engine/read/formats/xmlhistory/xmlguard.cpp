#include "engine/read/formats/xmlhistory/xmlguard.h"

#include <QIODevice>
#include <QRegularExpression>
#include <QStringConverter>
#include <QStringView>
#include <cstring>
#include <functional>
#include <optional>
#include <type_traits>

namespace {

constexpr qint64 PieceBytes = 1 << 20;

// Reads markup from either the raw bytes (encodings that keep ASCII as ASCII) or decoded text,
// pulling pieces as it goes. Only the character before the current one is ever looked back at,
// so the buffer holds little more than one piece whatever the file's size.
template<typename Char> class Scanner
{
public:
    using Buffer = std::conditional_t<std::is_same_v<Char, char>, QByteArray, QString>;
    // Appends the next piece; false at the end.
    using Fill = std::function<bool(Buffer &)>;

    explicit Scanner(Fill fill)
        : m_fill(std::move(fill))
    {
    }

    bool refused()
    {
        while (has(m_at)) {
            if (at(m_at) != u'<') {
                skipTo(u'<');
            } else if (isStartTag()) {
                if (startTagRefused())
                    return true;
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
    // Whether the text reaches `i`, reading on as far as needed.
    bool has(qsizetype i)
    {
        while (i >= m_base + m_buf.size()) {
            if (m_end)
                return false;
            const qsizetype done = qBound<qsizetype>(0, m_at - 1 - m_base, m_buf.size());
            m_buf.remove(0, done);
            m_base += done;
            m_end = !m_fill(m_buf);
        }
        return true;
    }
    // On to the next `c` (ASCII) from the current character, or past the end.
    void skipTo(char16_t c)
    {
        while (has(m_at)) {
            const qsizetype from = m_at - m_base, size = m_buf.size();
            qsizetype found = size;
            if constexpr (std::is_same_v<Char, char>) {
                const char *data = m_buf.constData();
                if (const void *p = std::memchr(data + from, char(c), size - from))
                    found = static_cast<const char *>(p) - data;
            } else if (const qsizetype i = QStringView(m_buf).indexOf(QChar(c), from); i >= 0) {
                found = i;
            }
            m_at = m_base + found;
            if (found < size)
                return;
        }
    }
    char16_t at(qsizetype i) const
    {
        if constexpr (std::is_same_v<Char, char>)
            return char16_t(uchar(m_buf.at(i - m_base)));
        else
            return m_buf.at(i - m_base).unicode();
    }

    bool startsWith(const char *ascii)
    {
        qsizetype i = m_at;
        for (; *ascii; ++ascii, ++i) {
            if (!has(i) || at(i) != char16_t(*ascii))
                return false;
        }
        return true;
    }

    // Whether the "<" here opens an element (none of the forms below, which all go on with "!",
    // "?" or "/").
    bool isStartTag()
    {
        if (!has(m_at + 1))
            return true;
        const char16_t next = at(m_at + 1);
        return next != u'!' && next != u'?' && next != u'/';
    }

    // When the text goes on with `open`: past it and past the first `close` after it.
    bool skipped(const char *open, const char *close)
    {
        if (!startsWith(open))
            return false;
        m_at += qsizetype(qstrlen(open));
        for (skipTo(char16_t(*close)); has(m_at) && !startsWith(close); skipTo(char16_t(*close)))
            ++m_at;
        m_at += qsizetype(qstrlen(close));
        return true;
    }

    // From a quote to past its partner.
    void skipQuoted()
    {
        const char16_t quote = at(m_at);
        ++m_at;
        skipTo(quote);
        ++m_at;
    }

    // Outside quotes an "=" in a start tag stands between an attribute's name and its value.
    bool startTagRefused()
    {
        int attributes = 0;
        for (++m_at; has(m_at);) {
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
        for (m_at += 9; has(m_at);) {
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

    Fill m_fill;
    Buffer m_buf; // the text from m_base on
    qsizetype m_base = 0;
    bool m_end = false; // nothing more to read
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

bool xmlStructureRefused(QIODevice &device, const std::function<void()> &pieceDone)
{
    bool readFailed = false;
    const auto read = [&](QByteArray &bytes) {
        // No more than is left: most histories are far smaller than a piece.
        const qint64 want
            = device.isSequential() ? PieceBytes : qMin(PieceBytes, device.size() - device.pos());
        if (want <= 0)
            return false;
        const qsizetype had = bytes.size();
        bytes.resize(had + want);
        const qint64 got = device.read(bytes.data() + had, want);
        bytes.resize(had + qMax<qint64>(got, 0));
        readFailed |= got < 0;
        if (got > 0 && pieceDone)
            pieceDone();
        return got > 0;
    };
    QByteArray head;
    read(head);
    // Decoded the way the parser decodes it: a byte order mark or the first "<" in UTF-16 or
    // UTF-32, else the declared encoding.
    std::optional<QStringConverter::Encoding> found = QStringConverter::encodingForData(head, u'<');
    QStringDecoder decoder;
    if (found && *found != QStringConverter::Utf8) {
        decoder = QStringDecoder(*found);
    } else if (!found) {
        const QByteArray name = declaredEncoding(head);
        if (!name.isEmpty() && !keepsAsciiMarkup(name))
            decoder = QStringDecoder(name.constData());
    }
    bool refused = false;
    if (decoder.isValid()) {
        QByteArray bytes = std::move(head);
        refused = Scanner<char16_t>([&](QString &text) {
                      if (bytes.isEmpty() && !read(bytes))
                          return false;
                      text += decoder.decode(bytes);
                      bytes.clear();
                      return true;
                  }).refused();
    } else {
        refused = Scanner<char>([&](QByteArray &bytes) {
                      if (!head.isEmpty()) {
                          bytes += head;
                          head.clear();
                          return true;
                      }
                      return read(bytes);
                  }).refused();
    }
    return refused || readFailed;
}
