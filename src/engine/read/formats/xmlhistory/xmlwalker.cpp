#include "engine/read/formats/xmlhistory/xmlwalker.h"

#include "codec/textcodec.h"

namespace xmlwalk {

using textcodec::CrLf;

qsizetype appendWithCrLf(QString &out, QStringView text)
{
    qsizetype breaks = 0;
    qsizetype from = 0; // the start of the run not yet appended
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        out += text.sliced(from, i - from);
        out += CrLf;
        ++breaks;
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        from = i + 1;
    }
    out += text.sliced(from);
    return breaks;
}

QString unindented(const QString &text)
{
    if (!text.startsWith(u'\n') && !text.startsWith(QLatin1StringView("\r\n")))
        return text;
    QStringList lines = text.split(u'\n');
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    if (lines.size() < 3 || !lines.first().isEmpty() || !lines.last().trimmed().isEmpty())
        return text;
    lines.removeFirst();
    lines.removeLast();
    qsizetype indent = -1;
    for (const QString &line : std::as_const(lines)) {
        qsizetype n = 0;
        while (n < line.size() && (line[n] == u' ' || line[n] == u'\t'))
            ++n;
        if (n < line.size())
            indent = indent < 0 ? n : qMin(indent, n);
    }
    for (QString &line : lines)
        line.remove(0, qMin(qMax<qsizetype>(indent, 0), line.size()));
    return lines.join(u'\n');
}

bool isNoticeEvent(QStringView element)
{
    return element == u"Invitation" || element == u"InvitationResponse" || element == u"Join"
        || element == u"Leave";
}

void appendEscaped(QString &out, QStringView text, bool attribute)
{
    qsizetype from = 0; // the start of the run not yet appended
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() > u'>')
            continue;
        QStringView escaped;
        if (c == u'<')
            escaped = u"&lt;";
        else if (c == u'&')
            escaped = u"&amp;";
        else if (c == u'>' && i >= 2 && text[i - 1] == u']' && text[i - 2] == u']')
            escaped = u"&gt;";
        else if (c == u'\r')
            escaped = u"&#xd;";
        else if (attribute && c == u'"')
            escaped = u"&quot;";
        else if (attribute && c == u'\n')
            escaped = u"&#xa;";
        else if (attribute && c == u'\t')
            escaped = u"&#x9;";
        else
            continue;
        out += text.sliced(from, i - from);
        out += escaped;
        from = i + 1;
    }
    out += text.sliced(from);
}

void SenderName::feed(QStringView markup)
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

} // namespace xmlwalk
