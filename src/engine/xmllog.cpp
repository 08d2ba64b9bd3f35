#include "xmllog.h"

#include <QDomDocument>
#include <QFile>
#include <QTextStream>
#include <QXmlStreamReader>

namespace {

const QString Separator = QStringLiteral("―――――");
const QString CrLf = QStringLiteral("\r\n");

// True when the prolog holds a DTD that declares entities, or is not well-formed up to the
// document element. Only the prolog is read.
bool declaresEntities(const QByteArray &data)
{
    QXmlStreamReader reader(data);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            if (!reader.entityDeclarations().isEmpty()
                || reader.text().contains(QLatin1String("<!ENTITY")))
                return true;
            break;
        case QXmlStreamReader::StartElement:
            return false;
        default:
            break;
        }
    }
    return false;
}

// The sender's name from the serialized sender element: the value of its FriendlyName
// attribute as the serializer wrote it (entities stay as entity text).
QString senderName(const QString &markup)
{
    static const QString Attribute = QStringLiteral("FriendlyName=");
    const qsizetype at = markup.indexOf(Attribute);
    if (at < 0)
        return QString();
    QString name = markup.mid(at + Attribute.size() + 1); // past the opening quote
    const qsizetype quote = name.indexOf(QLatin1Char('"'));
    if (quote >= 0)
        name.truncate(quote);
    return name;
}

// Every line break of a message (CR LF, a lone CR or a lone LF) becomes one CR LF.
QString withCrLf(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r')) {
            out += CrLf;
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n')) {
            out += CrLf;
        } else {
            out += c;
        }
    }
    return out;
}

QString serialized(const QDomNode &node)
{
    QString markup;
    QTextStream stream(&markup);
    node.save(stream, -1);
    return markup;
}

} // namespace

QString xmlLogToText(const QDomElement &log, const QString &headerText)
{
    QString out;
    for (QDomNode event = log.firstChild(); !event.isNull(); event = event.nextSibling()) {
        QString body;
        if (event.isElement())
            body = event.toElement().text();
        else if (event.isText() || event.isCDATASection())
            body = event.nodeValue();
        else
            continue; // comments and processing instructions are not events
        body = withCrLf(body);

        // The sender is the event's first grandchild, an element naming the sender. An event
        // without one (a join, a leave) is a notice, whatever the previous event's sender was.
        const QDomNode sender = event.firstChild().firstChild();
        const QString name = sender.isElement() ? senderName(serialized(sender)) : QString();

        if (name.isEmpty())
            out += Separator % CrLf % body % CrLf % Separator % CrLf;
        else
            out += name % QLatin1Char(' ') % headerText % CrLf % body % CrLf;
    }
    return out;
}

QString readXmlLogData(const QByteArray &data, const QString &headerText, bool *ok)
{
    *ok = false;
    if (declaresEntities(data))
        return QString();
    QDomDocument document;
    if (!document.setContent(data))
        return QString();
    const QDomElement log = document.documentElement();
    if (log.isNull())
        return QString();
    *ok = true;
    return xmlLogToText(log, headerText);
}

QString readXmlLog(const QString &path, const QString &headerText, bool *ok)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *ok = false;
        return QString();
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *ok = false;
        return QString();
    }
    return readXmlLogData(data, headerText, ok);
}
