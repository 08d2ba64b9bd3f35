#include "engine/read/formats/whatsapp/whatsappreader.h"

#include "engine/read/formats/whatsapp/whatsapphead.h"
#include "engine/read/formats/whatsapp/whatsappwords.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

using namespace whatsapp;

namespace {

// A record this long ends there, and its further lines go on in a record of their own: no
// message of a real chat comes near it.
constexpr qsizetype MaxRecordLines = 50000;
constexpr qsizetype MaxRecordChars = 8 * 1024 * 1024;
// Longer than any name WhatsApp shows: what stands before ": " is the text of an event.
constexpr qsizetype MaxNameLength = 100;

QString withoutMarks(QString text)
{
    return text.remove(Lrm);
}

// What stands before ": " in an Android line that names no one: an event's text with a colon
// in the name of a group ("Ann changed the subject to "Trip: day 2"").
bool isEventName(QStringView name)
{
    return name.size() > MaxNameLength || name.contains(u'"') || name.contains(u'“')
        || name.contains(u'«') || name.contains(u'「');
}

void toEvent(chat::Record &record, QString text, const QString &actor, const chat::Moment &when)
{
    record.kind = chat::Record::Kind::Event;
    record.event = {std::move(text), actor, when};
}

} // namespace

WhatsAppReader::WhatsAppReader(const ReadSource &source)
    : m_lines(source.file, source.detection, source.pieceDone)
{
    m_chat.source = source.logPath; // "WhatsApp Chat - Ann.zip/_chat.txt" for the iPhone's ZIP
    m_chat.name = chatNameOf(m_chat.source);
}

QString WhatsAppReader::chatNameOf(const QString &path)
{
    const QFileInfo info(path);
    // An iPhone's export is a ZIP named for the chat, holding "_chat.txt", read in place or
    // unzipped into a folder of that name.
    QString base = info.fileName() == u"_chat.txt" ? info.dir().dirName() : info.completeBaseName();
    if (base.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive))
        base.chop(4);
    // "WhatsApp Chat with Ann", "WhatsApp-Chat mit Ann", "Chat de WhatsApp con Ann",
    // "WhatsApp Chat - Ann", "WhatsApp チャット - Ann".
    static const QRegularExpression form(
        QStringLiteral("WhatsApp.*? (?:with|mit|con|avec|com|dengan|-|–) (.+)$"));
    const QRegularExpressionMatch match = form.match(base);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

bool WhatsAppReader::load()
{
    // Day or month first: decided once, from every date of the export.
    DayOrderSurvey survey;
    m_lines.survey([&survey](QStringView line) {
        if (const auto head = parseHead(line))
            survey.add(*head);
    });
    m_order = survey.order();
    return !m_lines.failed();
}

bool WhatsAppReader::restart()
{
    m_ahead.clear();
    m_hasAhead = false;
    m_lineNumber = 0;
    m_carried.reset();
    return m_lines.restart();
}

bool WhatsAppReader::pull(QString &line)
{
    textcodec::LineEnd end;
    bool ended;
    ++m_lineNumber;
    return m_lines.nextAtAnyEnd(line, end, ended);
}

bool WhatsAppReader::next(chat::Record &record)
{
    const std::optional<Carried> carried = std::exchange(m_carried, std::nullopt);
    QString first;
    qint64 firstLine = m_lineNumber + 1;
    if (m_hasAhead) {
        first = std::move(m_ahead);
        firstLine = m_aheadLine;
        m_hasAhead = false;
    } else if (!carried && !pull(first)) {
        return false;
    }
    QStringList more;
    qsizetype chars = first.size();
    bool cut = false;
    QString line;
    while (!m_hasAhead && pull(line)) {
        if (parseHead(line)) {
            m_ahead = std::move(line);
            m_aheadLine = m_lineNumber;
            m_hasAhead = true;
            break;
        }
        chars += line.size();
        more.append(std::move(line));
        cut = more.size() >= MaxRecordLines || chars >= MaxRecordChars;
        if (cut)
            break;
    }
    if (m_lines.failed())
        return false;
    if (carried && more.isEmpty())
        return m_hasAhead && next(record); // cut off right before the next record
    const auto blank = [](const QString &line) {
        return line.trimmed().isEmpty();
    };
    if (!carried && blank(first) && std::all_of(more.cbegin(), more.cend(), blank))
        return m_hasAhead && next(record); // blank lines before the first record
    record = chat::Record();
    if (carried)
        carry(*carried, more, record);
    else
        convert(first, more, record);
    if (record.kind == chat::Record::Kind::Message)
        record.message.line = firstLine;
    if (cut) {
        const bool event = record.kind == chat::Record::Kind::Event;
        m_carried = Carried {record.kind, event ? record.event.actor : record.message.sender,
                             event ? record.event.when : record.message.when};
    }
    return true;
}

void WhatsAppReader::carry(const Carried &carried, QStringList &more, chat::Record &record)
{
    if (carried.kind == chat::Record::Kind::Event) {
        toEvent(record, withoutMarks(more.join(u'\n')), carried.who, carried.when);
        return;
    }
    record.message.sender = carried.who;
    record.message.when = carried.when;
    record.message.text = std::move(more);
}

void WhatsAppReader::convert(const QString &first, QStringList &more, chat::Record &record)
{
    const auto head = parseHead(first);
    if (!head) {
        // Lines before the first record belong to none: they stand as an event.
        more.prepend(first);
        toEvent(record, withoutMarks(more.join(u'\n')), QString(), chat::Moment());
        return;
    }
    const chat::Moment when
        = chat::Moment::written(dateOf(*head, m_order), head->time, head->seconds);
    const QStringView rest = head->rest;

    // "Name: text", or "Name:" with the text on the next lines.
    QString sender;
    QStringView text;
    if (!(head->bracketed && rest.startsWith(Lrm))) {
        const qsizetype colon = rest.indexOf(u": ");
        if (colon > 0) {
            sender = rest.first(colon).toString();
            text = rest.sliced(colon + 2);
        } else if (rest.size() > 1 && rest.endsWith(u':')) {
            sender = rest.chopped(1).toString();
        }
        if (!head->bracketed && isEventName(sender))
            sender.clear();
    }
    if (sender.isEmpty()) {
        more.prepend(rest.toString());
        toEvent(record, withoutMarks(more.join(u'\n')), QString(), when);
        return;
    }
    if (head->bracketed && !head->media && text.startsWith(Lrm)) {
        // The app's words in someone's name, who is named where the words do not name them.
        more.prepend(text.toString());
        QString words = withoutMarks(more.join(u'\n'));
        if (!words.contains(sender))
            words.prepend(sender + QStringLiteral(": "));
        toEvent(record, std::move(words), sender, when);
        return;
    }

    chat::Message &m = record.message;
    m.sender = std::move(sender);
    m.when = when;
    more.prepend(text.toString());
    m.edited = takeEditedMark(more.last());
    if (head->media) {
        // The medium follows the last mark of the last line; what stands before it is the
        // message's own text ("Look ‎<attached: …>", "report.pdf • ‎3 pages ‎document
        // omitted").
        QString &last = more.last();
        const qsizetype mark = last.lastIndexOf(Lrm);
        if (mark >= 0) {
            m.attachments.append(iosMedium(QStringView(last).sliced(mark + 1)));
            last.truncate(mark);
            last = withoutMarks(std::move(last)).trimmed();
            if (last.isEmpty())
                more.removeLast();
        }
    } else if (!head->bracketed) {
        if (auto medium = androidMedium(more.first())) {
            m.attachments.append(std::move(*medium));
            more.removeFirst();
        }
    }
    if (more.size() == 1 && more.first().isEmpty())
        more.clear();
    m.text = std::move(more);
}
