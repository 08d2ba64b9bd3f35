#pragma once

#include "codec/textcodec.h"
#include "engine/read/formats/xmlhistory/xmldates.h"
#include "engine/read/linerole.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QXmlStreamReader>
#include <optional>

// The conversion of a history's events into header/message text (xmllog.h), one token at a
// time, from whatever reads the document: QXmlStreamReader, or the byte reader (xmlbytes.h) that
// answers the same questions about its token.
namespace xmlwalk {

using textcodec::CrLf;

// Every line break of a message (CR LF, a lone CR or a lone LF) becomes one CR LF. Returns the
// number of line breaks.
qsizetype appendWithCrLf(QString &out, QStringView text);

// A text written on lines of its own, indented with the markup around it (a history saved again
// by an editor: "\n      line one\n      line two\n    "), loses that indentation and the
// line breaks around it. Any other text is left as it is.
QString unindented(const QString &text);

// The events that are no one's words: offers of files and calls, their answers, people coming
// and going. Their text is shown as a notice.
bool isNoticeEvent(QStringView element);

// Markup escaped as the serializer escapes it: in attribute values also quotes and the
// characters that value normalisation would turn into blanks.
void appendEscaped(QString &out, QStringView text, bool attribute);

// Finds the sender's name in the markup of the sender element as it is written out piece by
// piece: the text after the first "FriendlyName=" and the quote that follows, up to the next
// quote. Only what is needed is kept, so the element may be as large as the file.
class SenderName
{
public:
    void feed(QStringView markup);
    // The name, where it is known without the markup.
    void take(QString name)
    {
        m_name = std::move(name);
        m_stage = Stage::Done;
    }
    bool done() const { return m_stage == Stage::Done; }
    QString name() const { return m_name; }

private:
    enum class Stage { Searching, OpeningQuote, Name, Done };
    Stage m_stage = Stage::Searching;
    qsizetype m_matched = 0;
    QString m_name;
};

// Writes the sender element's subtree as markup into a SenderName, token by token, as the
// serializer lays it out: an element without children closes as "<name/>", a processing
// instruction ends its line, and so does a comment unless text follows it; each is only known
// at the next token.
template<typename Reader> class SenderMarkup
{
public:
    explicit SenderMarkup(SenderName &sink)
        : m_sink(sink)
    {
    }

    void token(const Reader &reader)
    {
        QString &out = m_out;
        out.resize(0);
        if (m_lineEnds && !reader.isCharacters())
            out += u'\n';
        m_lineEnds = false;
        const bool closesEmpty = m_startOpen && reader.isEndElement();
        if (m_startOpen && !closesEmpty)
            out += u'>';
        m_startOpen = false;
        switch (reader.tokenType()) {
        case QXmlStreamReader::StartElement:
            out += u'<';
            out += reader.qualifiedName();
            for (const auto &a : reader.attributes()) {
                out += u' ';
                out += a.qualifiedName();
                out += u"=\"";
                appendEscaped(out, a.value(), true);
                out += u'"';
            }
            m_startOpen = true;
            break;
        case QXmlStreamReader::EndElement:
            if (closesEmpty) {
                out += u"/>";
            } else {
                out += u"</";
                out += reader.qualifiedName();
                out += u'>';
            }
            break;
        case QXmlStreamReader::Characters:
            if (reader.isCDATA()) {
                out += u"<![CDATA[";
                out += reader.text().toString().replace(QStringLiteral("]]>"),
                                                        QStringLiteral("]]]]><![CDATA[>"));
                out += u"]]>";
            } else {
                appendEscaped(out, reader.text(), false);
            }
            break;
        case QXmlStreamReader::Comment:
            out += u"<!--";
            out += reader.text();
            out += u"-->";
            m_lineEnds = true;
            break;
        case QXmlStreamReader::ProcessingInstruction:
            out += u"<?";
            out += reader.processingInstructionTarget();
            out += u' ';
            out += reader.processingInstructionData();
            out += u"?>\n";
            break;
        default:
            break;
        }
        m_sink.feed(out);
    }

private:
    SenderName &m_sink;
    QString m_out; // the token's markup
    bool m_startOpen = false;
    bool m_lineEnds = false;
};

// Text that is only blanks and line breaks between elements is not part of the history; a
// CDATA section always is.
template<typename Reader> bool keptText(const Reader &reader)
{
    return reader.isCDATA() || !reader.text().trimmed().isEmpty();
}

// Whether a token is a node of the tree: an element's start, kept text, a comment or a
// processing instruction.
template<typename Reader> bool isNode(const Reader &reader)
{
    switch (reader.tokenType()) {
    case QXmlStreamReader::StartElement:
    case QXmlStreamReader::Comment:
    case QXmlStreamReader::ProcessingInstruction:
        return true;
    case QXmlStreamReader::Characters:
        return keptText(reader);
    default:
        return false;
    }
}

// Walks the children of the log element, one event at a time, with a fixed amount of state
// whatever the depth: the open element count, the event's text, and where the search for the
// sender (the event's first grandchild) stands.
template<typename Reader> class EventWalker
{
public:
    EventWalker(const QString &headerText, bool withStamps, QByteArray *roles,
                QList<qint64> *places)
        : m_headerText(headerText)
        , m_withStamps(withStamps)
        , m_roles(roles)
        , m_places(places)
    {
    }

    // False when the document holds something a history cannot (an unresolved entity).
    bool token(const Reader &reader)
    {
        if (reader.tokenType() == QXmlStreamReader::EntityReference)
            return false;
        const bool start = reader.isStartElement();
        const bool end = reader.isEndElement();
        if (!start && !end && !isNode(reader))
            return true;

        if (m_open == 1 && !end) {
            // A child of the log element.
            if (start)
                beginEvent(reader);
            else
                emitEvent(nodeText(reader), QString());
        } else if (m_open >= 2) {
            eventToken(reader);
        }
        if (start)
            ++m_open;
        if (end && --m_open == 1)
            endEvent();
        return true;
    }

    // The text written since it was last taken, whole lines.
    QString &text() { return m_out; }
    qsizetype lines() const { return m_lines; }
    const XmlDates &dates() const { return m_dates; }

private:
    // The children of an event whose text counts apart: its recipients, its Text, and the file
    // or call it offers (File, Application).
    enum class Child { Other, To, Text, Offered };
    static Child childOf(QStringView name)
    {
        if (name == u"To")
            return Child::To;
        if (name == u"Text")
            return Child::Text;
        return name == u"File" || name == u"Application" ? Child::Offered : Child::Other;
    }

    // Where the search for the first grandchild stands while an element event is open.
    enum class Sender { FirstChild, FirstGrandchild, Markup, Settled };

    static QString nodeText(const Reader &reader)
    {
        return reader.isProcessingInstruction() ? reader.processingInstructionData().toString()
                                                : reader.text().toString();
    }

    void beginEvent(const Reader &reader)
    {
        if (m_withStamps) {
            const auto &attributes = reader.attributes();
            // Written over the texts of the event before, which keep their room.
            m_date.resize(0);
            m_date += attributes.value(QLatin1StringView("Date"));
            m_time.resize(0);
            m_time += attributes.value(QLatin1StringView("Time"));
            m_dateTime.resize(0);
            m_dateTime += attributes.value(QLatin1StringView("DateTime"));
        }
        m_notice = isNoticeEvent(reader.name());
        m_child = Child::Other;
        m_body.clear();
        m_eventText.clear();
        m_offered.clear();
        m_to.clear();
        m_sender = Sender::FirstChild;
        m_name = SenderName();
        m_senderLine = reader.lineNumber();
    }

    void eventToken(const Reader &reader)
    {
        if (reader.isStartElement() && m_open == 2)
            m_child = childOf(reader.name());
        if (reader.isStartElement() && m_open == 3 && m_child == Child::To) {
            // A recipient, written as the serializer writes a sender.
            QString name;
            appendEscaped(name, reader.attributes().value(QLatin1StringView("FriendlyName")), true);
            if (!name.isEmpty())
                m_to.append(name);
        }
        // The element's text: all text below it. Blanks and line breaks between elements
        // (a history laid out by an editor) are none of it.
        if (reader.isCharacters() && keptText(reader)) {
            m_body += reader.text();
            if (m_notice && m_child == Child::Text)
                m_eventText += reader.text();
            else if (m_notice && m_child == Child::Offered)
                m_offered.append(reader.text().toString());
        }
        switch (m_sender) {
        case Sender::FirstChild:
            m_sender = reader.isStartElement() && m_open == 2 ? Sender::FirstGrandchild
                                                              : Sender::Settled;
            break;
        case Sender::FirstGrandchild:
            if (reader.isStartElement() && m_open == 3) {
                m_senderLine = reader.lineNumber();
                const auto &attributes = reader.attributes();
                if (!attributes.isEmpty()
                    && attributes.first().qualifiedName() == QLatin1StringView("FriendlyName")) {
                    // Its markup opens with the name: '<User FriendlyName="...'.
                    QString name;
                    appendEscaped(name, attributes.first().value(), true);
                    m_name.take(std::move(name));
                    m_sender = Sender::Settled;
                    break;
                }
                m_sender = Sender::Markup;
                m_markup.emplace(m_name);
                m_markupOpen = m_open + 1;
                m_markup->token(reader);
            } else {
                m_sender = Sender::Settled;
            }
            break;
        case Sender::Markup:
            m_markup->token(reader);
            if (m_name.done() || (reader.isEndElement() && m_open == m_markupOpen)) {
                m_sender = Sender::Settled;
                m_markup.reset();
            }
            break;
        case Sender::Settled:
            break;
        }
    }

    void endEvent()
    {
        m_markup.reset();
        if (m_withStamps)
            m_dates.add(m_lines, m_date, m_time, m_dateTime,
                        m_to.size() > 1 ? m_to.join(QStringLiteral("、")) : QString());
        m_date.resize(0);
        m_time.resize(0);
        m_dateTime.resize(0);
        if (!m_notice) {
            emitEvent(unindented(m_body), m_name.name());
            return;
        }
        // Its text, naming the file or the call it is about where the text does not.
        QString text = unindented(m_eventText);
        for (const QString &offered : std::as_const(m_offered)) {
            const QString name = unindented(offered).trimmed();
            if (!name.isEmpty() && !text.contains(name))
                text += (text.isEmpty() ? QString() : QStringLiteral(" (")) + name
                    + (text.isEmpty() ? QString() : QStringLiteral(")"));
        }
        emitEvent(text, QString());
    }

    void emitEvent(const QString &body, const QString &sender)
    {
        qsizetype bodyLines = 1;
        if (sender.isEmpty()) {
            m_out += SeparatorLine % CrLf;
            bodyLines += appendWithCrLf(m_out, body);
            m_out += CrLf % SeparatorLine % CrLf;
            note(LineRole::Frame, 1);
            note(LineRole::Notice, bodyLines);
            note(LineRole::Frame, 1);
        } else {
            m_out += sender % QLatin1Char(' ') % m_headerText % CrLf;
            if (m_places)
                m_places->append(m_senderLine);
            bodyLines += appendWithCrLf(m_out, body);
            m_out += CrLf;
            note(LineRole::Header, 1);
            note(LineRole::Message, bodyLines);
        }
    }

    // Counts the lines written (the stamps need the line number of the next event) and notes
    // their role.
    void note(LineRole role, qsizetype lines)
    {
        m_lines += lines;
        if (m_roles)
            m_roles->append(lines, char(role));
    }

    const QString &m_headerText;
    bool m_withStamps;
    QByteArray *m_roles;
    QList<qint64> *m_places;
    qint64 m_senderLine = 0; // the document's line that names the open event's sender
    XmlDates m_dates;
    bool m_notice = false; // the open event is a notice
    Child m_child = Child::Other; // the child of the event the current token is in
    QString m_date; // the open event's Date, Time and DateTime attributes
    QString m_time;
    QString m_dateTime;
    QString m_eventText; // the text of its Text child
    QStringList m_offered; // the text of its File and Application children
    QStringList m_to; // its recipients
    qsizetype m_lines = 0; // lines written so far
    QString m_out;
    int m_open = 0; // elements open at the current token
    QString m_body;
    Sender m_sender = Sender::Settled;
    SenderName m_name;
    std::optional<SenderMarkup<Reader>> m_markup;
    int m_markupOpen = 0; // open elements inside the sender element
};

} // namespace xmlwalk
