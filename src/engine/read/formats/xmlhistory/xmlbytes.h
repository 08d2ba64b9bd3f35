#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QStringView>
#include <QVarLengthArray>
#include <QXmlStreamReader>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QIODevice;

// UTF-16 code units written in place, kept from one token to the next.
class XmlUnits
{
public:
    void clear() { m_size = 0; }
    // Room for `n` more units at the end; write them, then commit() the end.
    char16_t *room(qsizetype n)
    {
        if (m_size + n > m_capacity)
            grow(m_size + n);
        return m_data.get() + m_size;
    }
    void commit(const char16_t *end) { m_size = end - m_data.get(); }
    void append(char16_t c) { *room(1) = c, ++m_size; }
    qsizetype size() const { return m_size; }
    QStringView view(qsizetype from, qsizetype size) const { return {m_data.get() + from, size}; }
    QStringView view() const { return {m_data.get(), m_size}; }

private:
    void grow(qsizetype need);

    std::unique_ptr<char16_t[]> m_data;
    qsizetype m_size = 0;
    qsizetype m_capacity = 0;
};

class XmlByteAttribute
{
public:
    QStringView qualifiedName() const { return m_name; }
    QStringView value() const { return m_value; }

    QStringView m_name;
    QStringView m_value;
};

class XmlByteAttributes : public QVarLengthArray<XmlByteAttribute, 8>
{
public:
    QStringView value(QLatin1StringView name) const
    {
        for (const XmlByteAttribute &a : *this) {
            if (a.m_name == name)
                return a.m_value;
        }
        return {};
    }
};

// A pull reader over a history's UTF-8 bytes, a piece at a time, for the documents the messenger
// writes: UTF-8 (a byte order mark or a declaration naming it, or neither), no document type,
// the predefined entities and character references, comments, processing instructions, CDATA
// sections, names in ASCII. It checks what the parser would (well-formedness, the characters
// XML allows) and what xmlguard.h would refuse (depth, attributes), and answers the questions the
// event walker asks about its token as QXmlStreamReader does. Whatever it cannot take for
// certain, the document included, it leaves to the parser: readNext() answers Doubt, and the
// caller starts again from the document's start the parser's way.
class XmlByteReader
{
public:
    enum class Step { Token, End, Doubt };

    XmlByteReader(QIODevice &device, std::function<void()> pieceDone);

    Step readNext();
    // Bytes read from the device so far.
    qint64 bytesRead() const { return m_read; }

    QXmlStreamReader::TokenType tokenType() const { return m_type; }
    bool isStartElement() const { return m_type == QXmlStreamReader::StartElement; }
    bool isEndElement() const { return m_type == QXmlStreamReader::EndElement; }
    bool isCharacters() const { return m_type == QXmlStreamReader::Characters; }
    bool isProcessingInstruction() const
    {
        return m_type == QXmlStreamReader::ProcessingInstruction;
    }
    bool isCDATA() const { return m_cdata; }
    // The characters, a comment's text, or a processing instruction's data.
    QStringView text() const { return isProcessingInstruction() ? QStringView() : m_text.view(); }
    QStringView processingInstructionData() const
    {
        return isProcessingInstruction() ? m_text.view() : QStringView();
    }
    QStringView processingInstructionTarget() const { return m_nameView; }
    QStringView name() const { return m_nameView; }
    QStringView qualifiedName() const { return m_nameView; }
    const XmlByteAttributes &attributes() const { return m_attributes; }
    // The document's line (from 1) where the start tag read last ends.
    qint64 lineNumber() const { return m_tokenLine + 1; }

private:
    bool more();
    bool need(qsizetype n);
    int peek() { return m_at < m_size || more() ? uchar(m_data[m_at]) : -1; }
    // Past `ascii` where the bytes go on with it.
    bool take(std::string_view ascii)
    {
        const qsizetype n = qsizetype(ascii.size());
        if ((m_size - m_at < n && !need(n)) || std::memcmp(m_data + m_at, ascii.data(), n) != 0)
            return false;
        m_at += n;
        return true;
    }
    // Past blanks; how many bytes they took.
    qsizetype spaces()
    {
        if (m_at < m_size && m_data[m_at] != ' ' && m_data[m_at] != '\t' && m_data[m_at] != '\n'
            && m_data[m_at] != '\r')
            return 0;
        return moreSpaces();
    }
    qsizetype moreSpaces();
    bool readName(std::string &name);
    bool decodeOne(XmlUnits &out, bool attribute);
    bool declaration();
    bool text();
    bool until(std::string_view end, bool (XmlByteReader::*unit)(XmlUnits &));
    bool plainUnit(XmlUnits &out);
    bool startTag();
    void setName();
    void close();
    bool attributeValue(char quote);
    bool endTag();
    bool markup();

    QIODevice &m_device;
    std::function<void()> m_pieceDone;
    QByteArray m_buf; // the bytes not yet read on, from m_at
    const char *m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_at = 0;
    qint64 m_read = 0;
    bool m_end = false; // the device has nothing more
    bool m_failed = false; // a read failed
    bool m_started = false;
    bool m_rootSeen = false;
    bool m_rootDone = false;
    qint64 m_line = 0; // line breaks read
    qint64 m_tokenLine = 0;
    QXmlStreamReader::TokenType m_type = QXmlStreamReader::NoToken;
    bool m_cdata = false;
    bool m_closeNext = false; // an element written "<a/>": its end is the next token
    std::string m_name; // the token's name in bytes
    XmlUnits m_nameUnits;
    QStringView m_nameView;
    XmlUnits m_text;
    XmlUnits m_pool; // the attributes' names and values
    QVarLengthArray<qsizetype, 8> m_attributeAt; // name start, name size, value start, value size
    XmlByteAttributes m_attributes;
    std::string m_open; // the open elements' names one after the other
    QVarLengthArray<qsizetype, 64> m_openAt;
};
