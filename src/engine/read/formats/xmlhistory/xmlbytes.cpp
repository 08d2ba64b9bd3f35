#include "engine/read/formats/xmlhistory/xmlbytes.h"

#include "engine/read/formats/xmlhistory/xmlchars.h"
#include "engine/read/formats/xmlhistory/xmlguard.h"

#include <QIODevice>
#include <QStringConverter>
#include <cstring>

using namespace xmlchars;

namespace {

constexpr qsizetype PieceBytes = 1 << 20;
// Longer names are left to the parser.
constexpr qsizetype MaxName = 1024;

} // namespace

void XmlUnits::grow(qsizetype need)
{
    const qsizetype capacity = qMax(need, 2 * m_capacity + 256);
    auto data = std::make_unique_for_overwrite<char16_t[]>(capacity);
    if (m_size)
        std::memcpy(data.get(), m_data.get(), m_size * sizeof(char16_t));
    m_data = std::move(data);
    m_capacity = capacity;
}

XmlByteReader::XmlByteReader(QIODevice &device, std::function<void()> pieceDone)
    : m_device(device)
    , m_pieceDone(std::move(pieceDone))
{
}

bool XmlByteReader::more()
{
    if (m_end)
        return false;
    m_buf.remove(0, m_at);
    m_at = 0;
    const qsizetype had = m_buf.size();
    m_buf.resize(had + PieceBytes);
    const qint64 got = m_device.read(m_buf.data() + had, PieceBytes);
    m_buf.resize(had + qMax<qint64>(got, 0));
    m_data = m_buf.constData();
    m_size = m_buf.size();
    if (got <= 0) {
        m_end = true;
        m_failed = got < 0;
        return false;
    }
    m_read += got;
    if (m_pieceDone)
        m_pieceDone();
    return true;
}

bool XmlByteReader::need(qsizetype n)
{
    while (m_size - m_at < n) {
        if (!more())
            return false;
    }
    return true;
}

qsizetype XmlByteReader::moreSpaces()
{
    qsizetype n = 0;
    for (int c = peek(); isSpace(c); c = peek()) {
        ++m_at;
        ++n;
        if (c == '\n' || c == '\r')
            ++m_line;
        if (c == '\r' && peek() == '\n') {
            ++m_at;
            ++n;
        }
    }
    return n;
}

bool XmlByteReader::readName(std::string &name)
{
    name.clear();
    if (!isNameStart(peek()))
        return false;
    for (;;) {
        const char *const from = m_data + m_at, *const end = m_data + m_size;
        const char *p = from;
        while (p < end && NameChars[uchar(*p)])
            ++p;
        name.append(from, p - from);
        m_at += p - from;
        if (qsizetype(name.size()) > MaxName)
            return false;
        if (p < end || !more())
            break;
    }
    // Qualified names and names beyond ASCII are the parser's.
    const int c = peek();
    return c != ':' && c < 0x80;
}

// One character of character data or of an attribute value that the fast loops leave: a line
// break, a reference, a sequence of UTF-8 cut by the end of the bytes read.
bool XmlByteReader::decodeOne(XmlUnits &out, bool attribute)
{
    const int c = peek();
    if (c < 0)
        return false;
    if (c == '\r' || c == '\n') {
        ++m_at;
        ++m_line;
        if (c == '\r' && peek() == '\n')
            ++m_at;
        out.append(attribute ? u' ' : u'\n');
        return true;
    }
    for (qsizetype n = 1;; ++n) {
        if (!need(n))
            return false;
        const uchar *p = reinterpret_cast<const uchar *>(m_data + m_at);
        char16_t *o = out.room(2);
        const int taken = c == '&' ? reference(p, p + n, o) : utf8(p, p + n, o);
        if (taken < 0)
            return false;
        if (taken > 0) {
            out.commit(o);
            m_at += taken;
            return true;
        }
    }
}

bool XmlByteReader::attributeValue(char quote)
{
    for (;;) {
        if (m_at >= m_size && !more())
            return false;
        const uchar *p = reinterpret_cast<const uchar *>(m_data + m_at);
        const uchar *const end = reinterpret_cast<const uchar *>(m_data + m_size);
        char16_t *o = m_pool.room(end - p);
        for (; p < end; ++p) {
            const uchar c = *p;
            const uchar kind = ValueKinds[c];
            if (kind == Plain) {
                *o++ = c;
                continue;
            }
            if (c == '\n' || c == '\t') {
                m_line += c == '\n';
                *o++ = u' ';
                continue;
            }
            if (c == '>' || ((c == '"' || c == '\'') && c != uchar(quote))) {
                *o++ = c;
                continue;
            }
            if (kind == Multi || c == '&') {
                const int taken = kind == Multi ? utf8(p, end, o) : reference(p, end, o);
                if (taken > 0) {
                    p += taken - 1;
                    continue;
                }
                if (taken < 0)
                    return false;
            }
            if (kind == Bad || c == '<')
                return false;
            break;
        }
        m_pool.commit(o);
        m_at = reinterpret_cast<const char *>(p) - m_data;
        if (p == end)
            continue;
        if (*p == uchar(quote)) {
            ++m_at;
            return true;
        }
        if (!decodeOne(m_pool, true))
            return false;
    }
}

bool XmlByteReader::text()
{
    m_type = QXmlStreamReader::Characters;
    m_text.clear();
    for (;;) {
        if (m_at >= m_size && !more())
            return false; // the document ends inside its element
        const uchar *p = reinterpret_cast<const uchar *>(m_data + m_at);
        const uchar *const end = reinterpret_cast<const uchar *>(m_data + m_size);
        char16_t *o = m_text.room(end - p);
        const char16_t *const start = o - m_text.size();
        for (; p < end; ++p) {
            const uchar c = *p;
            const uchar kind = TextKinds[c];
            if (kind == Plain || c == '"' || c == '\'') {
                *o++ = c;
                continue;
            }
            if (c == '\n') {
                ++m_line;
                *o++ = u'\n';
                continue;
            }
            if (c == '>') {
                // "]]>" ends a CDATA section, nothing else.
                if (o - start >= 2 && o[-1] == u']' && o[-2] == u']')
                    return false;
                *o++ = u'>';
                continue;
            }
            if (kind == Multi || c == '&') {
                const int taken = kind == Multi ? utf8(p, end, o) : reference(p, end, o);
                if (taken > 0) {
                    p += taken - 1;
                    continue;
                }
                if (taken < 0)
                    return false;
            }
            if (kind == Bad)
                return false;
            break;
        }
        m_text.commit(o);
        m_at = reinterpret_cast<const char *>(p) - m_data;
        if (p == end)
            continue;
        if (*p == '<')
            return true;
        if (!decodeOne(m_text, false))
            return false;
    }
}

bool XmlByteReader::plainUnit(XmlUnits &out)
{
    const int c = peek();
    if (c < 0)
        return false;
    if (c == '\r' || c == '\n' || c >= 0x80)
        return decodeOne(out, false);
    if (c < 0x20 && c != '\t')
        return false;
    out.append(char16_t(c));
    ++m_at;
    return true;
}

// The text up to `end` (comments, processing instructions, CDATA sections), past `end`.
bool XmlByteReader::until(std::string_view end, bool (XmlByteReader::*unit)(XmlUnits &))
{
    m_text.clear();
    while (!take(end)) {
        if (!(this->*unit)(m_text))
            return false;
    }
    return true;
}

bool XmlByteReader::declaration()
{
    if (!need(4))
        return false;
    // Another encoding by its byte order mark or by how its first "<" is written.
    const auto found = QStringConverter::encodingForData(QByteArrayView(m_data, m_size), u'<');
    if (found && *found != QStringConverter::Utf8)
        return false;
    take("\xEF\xBB\xBF");
    if (!need(6) || std::memcmp(m_data + m_at, "<?xml", 5) != 0 || !isSpace(m_data[m_at + 5]))
        return true;
    m_at += 5;
    const char *const names[] = {"version", "encoding", "standalone"};
    int next = 0; // the pseudo-attributes in their order, each at most once
    for (;;) {
        const qsizetype blanks = spaces();
        if (take("?>"))
            return next > 0;
        if (!blanks)
            return false;
        std::string name;
        QByteArray value;
        if (!readName(name))
            return false;
        while (next < 3 && name != names[next] && next > 0)
            ++next;
        if (next >= 3 || name != names[next])
            return false;
        spaces();
        if (!take("="))
            return false;
        spaces();
        const int quote = peek();
        if (quote != '"' && quote != '\'')
            return false;
        ++m_at;
        for (int c = peek(); c != quote; c = peek()) {
            if (!isNameChar(c))
                return false;
            value += char(c);
            ++m_at;
        }
        ++m_at;
        if ((next == 0 && value != "1.0") || (next == 1 && value.toLower() != "utf-8")
            || (next == 2 && value != "yes" && value != "no"))
            return false;
        ++next;
    }
}

bool XmlByteReader::startTag()
{
    ++m_at; // "<"
    if (m_rootDone || !readName(m_name))
        return false;
    m_pool.clear();
    m_attributeAt.resize(0);
    std::string name;
    bool empty = false;
    for (;;) {
        const qsizetype blanks = spaces();
        const int c = peek();
        if (c == '>' || (c == '/' && take("/>"))) {
            m_at += c == '>';
            empty = c == '/';
            break;
        }
        if (!blanks || !readName(name) || m_attributeAt.size() / 4 == MaxXmlAttributes)
            return false;
        spaces();
        if (!take("="))
            return false;
        spaces();
        const int quote = peek();
        if (quote != '"' && quote != '\'')
            return false;
        ++m_at;
        const qsizetype nameAt = m_pool.size();
        char16_t *o = m_pool.room(qsizetype(name.size()));
        for (const char b : name)
            *o++ = char16_t(b);
        m_pool.commit(o);
        const qsizetype valueAt = m_pool.size();
        if (!attributeValue(char(quote)))
            return false;
        const qsizetype at[] = {nameAt, qsizetype(name.size()), valueAt, m_pool.size() - valueAt};
        m_attributeAt.append(at, 4);
    }
    m_tokenLine = m_line;
    m_attributes.resize(0);
    for (qsizetype i = 0; i < m_attributeAt.size(); i += 4) {
        const QStringView attributeName = m_pool.view(m_attributeAt[i], m_attributeAt[i + 1]);
        for (const XmlByteAttribute &a : std::as_const(m_attributes)) {
            if (a.m_name == attributeName)
                return false; // twice
        }
        m_attributes.append(
            {attributeName, m_pool.view(m_attributeAt[i + 2], m_attributeAt[i + 3])});
    }
    m_type = QXmlStreamReader::StartElement;
    m_rootSeen = true;
    m_openAt.append(qsizetype(m_open.size()));
    m_open += m_name;
    // Elements nest no deeper than xmlguard.h lets them; one written "<a/>" is not counted.
    if (!empty && m_openAt.size() > MaxXmlDepth)
        return false;
    m_closeNext = empty;
    setName();
    return true;
}

void XmlByteReader::setName()
{
    m_nameUnits.clear();
    char16_t *o = m_nameUnits.room(qsizetype(m_name.size()));
    for (const char b : m_name)
        *o++ = char16_t(b);
    m_nameUnits.commit(o);
    m_nameView = m_nameUnits.view();
}

void XmlByteReader::close()
{
    m_type = QXmlStreamReader::EndElement;
    m_attributes.resize(0);
    m_open.resize(size_t(m_openAt.last()));
    m_openAt.removeLast();
    m_rootDone = m_openAt.isEmpty();
}

bool XmlByteReader::endTag()
{
    m_at += 2; // "</"
    if (m_openAt.isEmpty() || !readName(m_name)
        || std::string_view(m_open).substr(size_t(m_openAt.last())) != m_name)
        return false;
    spaces();
    if (!take(">"))
        return false;
    close();
    setName();
    return true;
}

bool XmlByteReader::markup()
{
    if (!need(2))
        return false;
    switch (m_data[m_at + 1]) {
    case '?':
        m_at += 2;
        m_type = QXmlStreamReader::ProcessingInstruction;
        if (!readName(m_name)
            || QByteArrayView(m_name.data(), qsizetype(m_name.size()))
                    .compare("xml", Qt::CaseInsensitive)
                == 0)
            return false;
        setName();
        if (take("?>")) {
            m_text.clear();
            return true;
        }
        return spaces() > 0 && until("?>", &XmlByteReader::plainUnit);
    case '!':
        if (take("<!--")) {
            m_type = QXmlStreamReader::Comment;
            return until("--", &XmlByteReader::plainUnit) && take(">");
        }
        if (!m_openAt.isEmpty() && take("<![CDATA[")) {
            m_type = QXmlStreamReader::Characters;
            m_cdata = true;
            return until("]]>", &XmlByteReader::plainUnit);
        }
        return false; // a document type, or no markup the reader takes
    case '/':
        return endTag();
    default:
        return startTag();
    }
}

XmlByteReader::Step XmlByteReader::readNext()
{
    m_cdata = false;
    m_type = QXmlStreamReader::NoToken;
    if (m_closeNext) {
        m_closeNext = false;
        close();
        return Step::Token;
    }
    if (!m_started) {
        m_started = true;
        if (!declaration())
            return Step::Doubt;
    }
    for (;;) {
        const int c = peek();
        if (c < 0)
            return m_rootDone && !m_failed ? Step::End : Step::Doubt;
        if (c == '<')
            return markup() ? Step::Token : Step::Doubt;
        if (m_openAt.isEmpty()) {
            // Outside the document element: blanks only.
            if (!spaces())
                return Step::Doubt;
            continue;
        }
        return text() ? Step::Token : Step::Doubt;
    }
}
