#include "engine/read/linerecords.h"

#include "engine/read/logreader.h"

namespace {

// "21:03", "21:03:00", and a LINE export's "24:05" (five past midnight of the next day).
bool readTime(QStringView text, int &hours, int &minutes, int &seconds, bool &withSeconds)
{
    const auto number = [](QStringView digits, int &value) {
        bool ok = false;
        value = digits.toInt(&ok);
        return ok && !digits.isEmpty() && digits.size() <= 2;
    };
    const QList<QStringView> parts = text.split(u':');
    if (parts.size() < 2 || parts.size() > 3 || !number(parts[0], hours)
        || !number(parts[1], minutes) || minutes > 59 || hours > 47)
        return false;
    withSeconds = parts.size() == 3;
    seconds = 0;
    return !withSeconds || (number(parts[2], seconds) && seconds <= 59);
}

} // namespace

LineRecords::LineRecords(LogReader &log, const QString &headerText, LineSorting sorting)
    : m_log(log)
    , m_headerText(headerText)
    , m_sorting(std::move(sorting))
{
}

bool LineRecords::load()
{
    m_chat.source = m_log.path();
    return true;
}

const chat::Chat &LineRecords::chat() const
{
    m_chat.name = m_log.chatName();
    m_chat.participants = m_log.people();
    return m_chat;
}

bool LineRecords::restart()
{
    m_cursor.reset();
    m_lineNumber = 0;
    m_pending = false;
    m_sorter = m_sorting ? m_sorting() : SortLine();
    if (!m_log.rewind())
        return false;
    m_cursor.emplace(m_log.stamps());
    return true;
}

qsizetype LineRecords::total()
{
    return m_log.lineCount();
}

qsizetype LineRecords::consumed() const
{
    return m_log.linesConsumed();
}

bool LineRecords::failed() const
{
    return m_log.failed();
}

QString LineRecords::errorString() const
{
    return m_log.errorString();
}

QString LineRecords::senderOf(const QString &headerLine, const QString &headerText)
{
    const qsizetype at = headerText.isEmpty() ? -1 : headerLine.indexOf(headerText);
    return (at >= 0 ? headerLine.first(at) : headerLine).trimmed();
}

bool LineRecords::read()
{
    if (m_pending)
        return true;
    LineInfo info;
    if (!m_log.readLine(m_line.text, &info))
        return false;
    m_line.role = info.role;
    if (m_line.role == LineRole::Unknown && m_sorter)
        m_line.role = m_sorter(m_line.text);
    m_line.repeated = 0;
    m_line.stamped
        = m_cursor && m_cursor->at(m_lineNumber++, &m_line.date, &m_line.time, &m_line.repeated);
    m_pending = true;
    return true;
}

chat::Moment LineRecords::moment(const Line &line) const
{
    if (!line.stamped)
        return {};
    QDate date = QDate::fromString(line.date, u"yyyy/MM/dd");
    if (!date.isValid())
        return {};
    int h = 0, m = 0, s = 0;
    bool seconds = false;
    if (!readTime(line.time, h, m, s, seconds))
        return chat::Moment::onDay(date);
    if (h >= 24) {
        date = date.addDays(1);
        h -= 24;
    }
    return chat::Moment::written(date, QTime(h, m, s), seconds);
}

bool LineRecords::next(chat::Record &record)
{
    while (read()) {
        switch (m_line.role) {
        case LineRole::Header:
            message(record);
            return true;
        case LineRole::Frame:
            if (notice(record))
                return true;
            break;
        default: { // a line outside messages and notices
            m_pending = false;
            record.kind = chat::Record::Kind::Event;
            record.event = {m_line.text, QString(), moment(m_line)};
            return true;
        }
        }
    }
    return false;
}

void LineRecords::message(chat::Record &record)
{
    record.kind = chat::Record::Kind::Message;
    chat::Message &m = record.message;
    m = chat::Message();
    m.sender = senderOf(m_line.text, m_headerText);
    m.when = moment(m_line);
    const qsizetype repeated = m_line.repeated;
    m_pending = false;
    while (read() && isMessageLine(m_line.role)) {
        m_pending = false;
        // The first line restates the time the stamp holds ("21:03 "), which the message's
        // own time will show again.
        m.text.append(m.text.isEmpty() ? m_line.text.mid(repeated) : m_line.text);
    }
}

bool LineRecords::notice(chat::Record &record)
{
    const chat::Moment when = moment(m_line);
    const QString time = m_line.stamped ? m_line.time : QString();
    m_pending = false;
    QStringList lines;
    LineRole kind = LineRole::Notice;
    while (read() && m_line.role != LineRole::Frame && m_line.role != LineRole::Header) {
        m_pending = false;
        if (m_line.role == LineRole::Date || m_line.role == LineRole::Title)
            kind = m_line.role;
        // A notice opens with its time where it has one ("21:05 Ann left").
        if (lines.isEmpty() && !time.isEmpty() && m_line.text.startsWith(time + u' '))
            lines.append(m_line.text.mid(time.size() + 1));
        else
            lines.append(m_line.text);
    }
    if (m_pending && m_line.role == LineRole::Frame)
        m_pending = false; // the frame that closes it
    if (kind == LineRole::Title || lines.isEmpty())
        return false;
    if (kind == LineRole::Date && when.isValid()) {
        record.kind = chat::Record::Kind::Day;
        record.day = {when.at.date(), lines.join(u' ')};
        return true;
    }
    record.kind = chat::Record::Kind::Event;
    record.event = {lines.join(u'\n'), QString(), when};
    return true;
}
