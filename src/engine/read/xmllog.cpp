#include "engine/read/xmllog.h"

#include "codec/textcodec.h"
#include "engine/read/linestamps.h"
#include "engine/read/xmlguard.h"

#include <QXmlStreamReader>
#include <optional>

namespace {

using textcodec::CrLf;

// Every line break of a message (CR LF, a lone CR or a lone LF) becomes one CR LF. Returns the
// number of line breaks.
qsizetype appendWithCrLf(QString &out, QStringView text)
{
    qsizetype breaks = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            out += CrLf;
            ++breaks;
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += CrLf;
            ++breaks;
        } else {
            out += c;
        }
    }
    return breaks;
}

// Markup escaped as the serializer escapes it: in attribute values also quotes and the
// characters that value normalisation would turn into blanks.
void appendEscaped(QString &out, QStringView text, bool attribute)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'<')
            out += u"&lt;";
        else if (c == u'&')
            out += u"&amp;";
        else if (c == u'>' && i >= 2 && text[i - 1] == u']' && text[i - 2] == u']')
            out += u"&gt;";
        else if (c == u'\r')
            out += u"&#xd;";
        else if (attribute && c == u'"')
            out += u"&quot;";
        else if (attribute && c == u'\n')
            out += u"&#xa;";
        else if (attribute && c == u'\t')
            out += u"&#x9;";
        else
            out += c;
    }
}

// Finds the sender's name in the markup of the sender element as it is written out piece by
// piece: the text after the first "FriendlyName=" and the quote that follows, up to the next
// quote. Only what is needed is kept, so the element may be as large as the file.
class SenderName
{
public:
    void feed(QStringView markup)
    {
        static const QString Key = QStringLiteral("FriendlyName=");
        for (const QChar c : markup) {
            switch (m_stage) {
            case Stage::Searching:
                if (c == Key[m_matched])
                    ++m_matched;
                else
                    m_matched = c == Key[0] ? 1 : 0;
                if (m_matched == Key.size())
                    m_stage = Stage::OpeningQuote;
                break;
            case Stage::OpeningQuote:
                m_stage = Stage::Name;
                break;
            case Stage::Name:
                if (c == u'"')
                    m_stage = Stage::Done;
                else
                    m_name += c;
                break;
            case Stage::Done:
                return;
            }
        }
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
class SenderMarkup
{
public:
    explicit SenderMarkup(SenderName &sink)
        : m_sink(sink)
    {
    }

    void token(const QXmlStreamReader &reader)
    {
        QString out;
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
            for (const QXmlStreamAttribute &a : reader.attributes()) {
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
    bool m_startOpen = false;
    bool m_lineEnds = false;
};

// Text that is only blanks and line breaks between elements is not part of the history; a
// CDATA section always is.
bool keptText(const QXmlStreamReader &reader)
{
    return reader.isCDATA() || !reader.text().trimmed().isEmpty();
}

// Whether a token is a node of the tree: an element's start, kept text, a comment or a
// processing instruction.
bool isNode(const QXmlStreamReader &reader)
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
class EventWalker
{
public:
    EventWalker(const QString &headerText, LineStamps *stamps, QByteArray *roles)
        : m_headerText(headerText)
        , m_stamps(stamps)
        , m_roles(roles)
    {
    }

    // False when the document holds something a history cannot (an unresolved entity).
    bool token(const QXmlStreamReader &reader)
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

    QString takeText() { return std::move(m_out); }

private:
    // Where the search for the first grandchild stands while an element event is open.
    enum class Sender { FirstChild, FirstGrandchild, Markup, Settled };

    static QString nodeText(const QXmlStreamReader &reader)
    {
        return reader.isProcessingInstruction() ? reader.processingInstructionData().toString()
                                                : reader.text().toString();
    }

    void beginEvent(const QXmlStreamReader &reader)
    {
        if (m_stamps) {
            const QXmlStreamAttributes attributes = reader.attributes();
            m_date = attributes.value(QLatin1StringView("Date")).toString();
            m_time = attributes.value(QLatin1StringView("Time")).toString();
        }
        m_body.clear();
        m_sender = Sender::FirstChild;
        m_name = SenderName();
    }

    void eventToken(const QXmlStreamReader &reader)
    {
        if (reader.isCharacters())
            m_body += reader.text(); // the element's text: all text below it
        switch (m_sender) {
        case Sender::FirstChild:
            m_sender = reader.isStartElement() && m_open == 2 ? Sender::FirstGrandchild
                                                              : Sender::Settled;
            break;
        case Sender::FirstGrandchild:
            if (reader.isStartElement() && m_open == 3) {
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
        if (m_stamps && (!m_date.isEmpty() || !m_time.isEmpty()))
            m_stamps->add(m_lines, m_date, m_time);
        m_date.clear();
        m_time.clear();
        emitEvent(m_body, m_name.name());
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
    LineStamps *m_stamps;
    QByteArray *m_roles;
    QString m_date; // the open event's Date and Time attributes
    QString m_time;
    qsizetype m_lines = 0; // lines written so far
    QString m_out;
    int m_open = 0; // elements open at the current token
    QString m_body;
    Sender m_sender = Sender::Settled;
    SenderName m_name;
    std::optional<SenderMarkup> m_markup;
    int m_markupOpen = 0; // open elements inside the sender element
};

} // namespace

QString readXmlLogData(const QByteArray &data, const QString &headerText, bool *ok,
                       LineStamps *stamps, QByteArray *roles)
{
    *ok = false;
    if (stamps)
        stamps->clear();
    if (roles)
        roles->clear();
    if (xmlStructureRefused(data))
        return QString();
    QXmlStreamReader reader(data);
    reader.setNamespaceProcessing(false);
    EventWalker walker(headerText, stamps, roles);
    bool rootSeen = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.hasError() || !walker.token(reader))
            return QString();
        rootSeen |= reader.isStartElement();
    }
    if (!rootSeen) {
        if (stamps)
            stamps->clear();
        return QString();
    }
    *ok = true;
    return walker.takeText();
}
