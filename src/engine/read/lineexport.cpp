#include "engine/read/lineexport.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// A text that claims to span lines yet never closes is read again line by line after this
// much; real messages are far shorter.
constexpr qsizetype MaxQuotedLines = 20000;
constexpr qsizetype MaxQuotedChars = 4 * 1024 * 1024;

// Reads a decimal number of 1 to `maxDigits` digits at the start of `text`.
std::optional<int> number(QStringView &text, int minDigits, int maxDigits)
{
    int value = 0, digits = 0;
    while (digits < text.size() && digits < maxDigits && text[digits].isDigit()
           && text[digits].unicode() < 0x80) {
        value = value * 10 + (text[digits].unicode() - u'0');
        ++digits;
    }
    if (digits < minDigits)
        return std::nullopt;
    text = text.sliced(digits);
    return value;
}

bool take(QStringView &text, QStringView word, Qt::CaseSensitivity cs = Qt::CaseSensitive)
{
    if (!text.startsWith(word, cs))
        return false;
    text = text.sliced(word.size());
    return true;
}

// Where a text in quotes stands after one of its lines.
enum class Quoted { Open, Closed, Broken };

// Appends a line of a quoted text to `out` with its doubled quotes undone. The text closes with
// a single quote at the end of a line; a single quote anywhere else means it was no quoted text.
Quoted unquoteLine(QStringView line, QString &out)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] != u'"') {
            out += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == u'"') {
            out += u'"';
            ++i;
        } else {
            return i + 1 == line.size() ? Quoted::Closed : Quoted::Broken;
        }
    }
    return Quoted::Open;
}

bool startsMessage(const QString &line)
{
    const qsizetype tab = line.indexOf(u'\t');
    return tab > 0 && parseLineTime(QStringView(line).first(tab));
}

} // namespace

bool isLineExportTitle(QStringView firstLine)
{
    return firstLine.startsWith(u"[LINE] ");
}

std::optional<QTime> parseLineTime(QStringView text)
{
    text = text.trimmed();
    int half = -1; // -1: a 24-hour clock; 0: morning; 1: afternoon
    const auto digit = [](QChar c) {
        return c >= u'0' && c <= u'9';
    };
    // "21:03", the common case, has no morning or afternoon before or after it.
    if (text.isEmpty() || !digit(text.front()) || !digit(text.back())) {
        if (take(text, u"午前") || take(text, u"AM", Qt::CaseInsensitive))
            half = 0;
        else if (take(text, u"午後") || take(text, u"PM", Qt::CaseInsensitive))
            half = 1;
        else if (text.endsWith(u"AM", Qt::CaseInsensitive)
                 || text.endsWith(u"PM", Qt::CaseInsensitive)) {
            half = text.endsWith(u"PM", Qt::CaseInsensitive) ? 1 : 0;
            text.chop(2);
        }
        text = text.trimmed();
    }
    auto hour = number(text, 1, 2);
    if (!hour || !take(text, u":"))
        return std::nullopt;
    const auto minute = number(text, 2, 2);
    std::optional<int> second = 0;
    if (take(text, u":"))
        second = number(text, 2, 2);
    if (!minute || !second || !text.isEmpty())
        return std::nullopt;
    if (half >= 0) {
        // 12-hour clocks write midnight as 12 AM or 午前0 and noon as 12 PM or 午後0.
        if (*hour > 12)
            return std::nullopt;
        hour = *hour % 12 + (half == 1 ? 12 : 0);
    }
    const QTime time(*hour, *minute, *second);
    return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

std::optional<QDate> parseLineDate(QStringView line)
{
    static const QStringView Weekdays[] = {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
    QStringView text = line.trimmed();
    int year = 0, month = 0, day = 0;
    if (!text.isEmpty() && text[0].isDigit()) {
        // "2024/01/15(月)", "2024/01/15(Mon)", "2024.01.15 月曜日", "2024.01.15 Monday"
        const auto y = number(text, 4, 4);
        if (!y || text.isEmpty() || (text[0] != u'/' && text[0] != u'.'))
            return std::nullopt;
        const QChar sep = text[0];
        text = text.sliced(1);
        const auto m = number(text, 1, 2);
        if (!m || !take(text, QStringView(&sep, 1)))
            return std::nullopt;
        const auto d = number(text, 1, 2);
        if (!d)
            return std::nullopt;
        text = text.trimmed();
        const bool parens = (text.startsWith(u'(') && text.endsWith(u')'))
            || (text.startsWith(u'（') && text.endsWith(u'）'));
        const bool english
            = std::any_of(std::begin(Weekdays), std::end(Weekdays), [&text](QStringView w) {
                  return text == w
                      || (text.startsWith(w) && text.sliced(w.size()).endsWith(u"day")
                          && text.size() <= 9);
              });
        const bool weekday = text.isEmpty() || (parens && text.size() >= 3 && text.size() <= 11)
            || (text.endsWith(u"曜日") && text.size() <= 3) || english;
        if (!weekday)
            return std::nullopt;
        year = *y;
        month = *m;
        day = *d;
    } else {
        // "Mon, 01/15/2024" (or "Monday, …"); a first number above 12 is the day.
        const qsizetype comma = text.indexOf(u',');
        if (comma < 3 || comma > 9)
            return std::nullopt;
        bool named = false;
        for (QStringView w : Weekdays)
            named |= text.startsWith(w);
        if (!named)
            return std::nullopt;
        text = text.sliced(comma + 1).trimmed();
        const auto a = number(text, 1, 2);
        if (!a || !take(text, u"/"))
            return std::nullopt;
        const auto b = number(text, 1, 2);
        if (!b || !take(text, u"/"))
            return std::nullopt;
        const auto y = number(text, 4, 4);
        if (!y || !text.isEmpty())
            return std::nullopt;
        year = *y;
        month = *a > 12 ? *b : *a;
        day = *a > 12 ? *a : *b;
    }
    const QDate date(year, month, day);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

// Written out by hand: QDate::toString and QTime::toString go through the locale's formatting,
// which cost more than the rest of a message's conversion.
QString LineExportConverter::Stamp::dateText() const
{
    if (!date.isValid())
        return QString();
    char text[24];
    const int n
        = std::snprintf(text, sizeof text, "%04d/%02d/%02d", date.year(), date.month(), date.day());
    return QString::fromLatin1(text, n);
}

QString LineExportConverter::Stamp::timeText() const
{
    if (!time.isValid())
        return QString();
    char text[16];
    const int n = time.second()
        ? std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour(), time.minute(),
                        time.second())
        : std::snprintf(text, sizeof text, "%02d:%02d", time.hour(), time.minute());
    return QString::fromLatin1(text, n);
}

LineExportConverter::LineExportConverter(const QString &headerText, Source source)
    : m_headerText(headerText)
    , m_source(std::move(source))
{
}

void LineExportConverter::reset()
{
    m_out.clear();
    m_replay.clear();
    m_sourceDone = false;
    m_first = true;
    m_inMessage = false;
    m_messageTime = QTime();
    m_date = QDate();
    m_blankLines = 0;
}

bool LineExportConverter::next(QString &line, Stamp &stamp)
{
    while (m_out.empty()) {
        if (!pull(m_exportLine))
            return false; // blank lines at the end belong to no message
        process(m_exportLine);
    }
    line = std::move(m_out.front().text);
    stamp = m_out.front().stamp;
    m_out.pop_front();
    return true;
}

bool LineExportConverter::pull(QString &line)
{
    if (!m_replay.empty()) {
        line = std::move(m_replay.front());
        m_replay.pop_front();
        return true;
    }
    if (m_sourceDone || !m_source(line)) {
        m_sourceDone = true;
        return false;
    }
    return true;
}

void LineExportConverter::notice(const QString &text, QDate date, QTime time)
{
    add(SeparatorLine, LineRole::Frame, date, time, true);
    add(text, LineRole::Notice, date, time);
    add(SeparatorLine, LineRole::Frame, date, time);
}

void LineExportConverter::process(const QString &line)
{
    if (m_first) {
        m_first = false;
        notice(line, QDate(), QTime());
        return;
    }
    if (line.isEmpty()) {
        ++m_blankLines;
        return;
    }
    if (const qsizetype tab = line.indexOf(u'\t'); tab > 0) {
        if (const auto time = parseLineTime(QStringView(line).first(tab))) {
            startMessage(line, tab, *time);
            return;
        }
    } else if (tab < 0) {
        if (const auto date = parseLineDate(line)) {
            m_blankLines = 0;
            m_inMessage = false;
            m_date = *date;
            notice(line, m_date, QTime());
            return;
        }
    }
    continuation(line);
}

void LineExportConverter::continuation(const QString &line)
{
    if (m_inMessage) {
        // Blank lines followed by more of the message are part of it.
        for (; m_blankLines > 0; --m_blankLines)
            add(QString(), LineRole::Message, m_date, m_messageTime);
        add(line, LineRole::Message, m_date, m_messageTime);
        return;
    }
    m_blankLines = 0;
    notice(line, m_date, QTime());
}

void LineExportConverter::startMessage(const QString &line, qsizetype tab, QTime time)
{
    m_blankLines = 0;
    const QStringView timeText = QStringView(line).first(tab);
    QStringView rest = QStringView(line).sliced(tab + 1);
    QStringView sender;
    if (const qsizetype senderEnd = rest.indexOf(u'\t'); senderEnd >= 0) {
        sender = rest.first(senderEnd);
        rest = rest.sliced(senderEnd + 1);
    }
    if (!sender.isEmpty() && !rest.startsWith(u'"')) {
        // The common case, a message of one line.
        m_inMessage = true;
        m_messageTime = time;
        add(sender + u' ' + m_headerText, LineRole::Header, m_date, time, true,
            timeText.size() + 1);
        add(timeText + u' ' + rest, LineRole::Message, m_date, time);
        return;
    }
    QStringList lines = rest.startsWith(u'"') ? quotedText(rest) : QStringList {rest.toString()};
    lines.first() = timeText + u' ' + lines.first();
    if (sender.isEmpty()) {
        // A system event: joins, leaves, unsent messages.
        m_inMessage = false;
        for (const QString &l : std::as_const(lines))
            notice(l, m_date, time);
        return;
    }
    m_inMessage = true;
    m_messageTime = time;
    add(sender + u' ' + m_headerText, LineRole::Header, m_date, time, true, timeText.size() + 1);
    for (QString &l : lines)
        add(std::move(l), LineRole::Message, m_date, time);
}

QStringList LineExportConverter::quotedText(QStringView text)
{
    QString first;
    switch (unquoteLine(text.sliced(1), first)) {
    case Quoted::Open:
        break;
    case Quoted::Closed:
        // Closed on the same line: quotes the sender typed, unless doubled quotes inside show
        // the export's own quoting.
        return {first.size() < text.size() - 2 ? first : text.toString()};
    case Quoted::Broken:
        return {text.toString()};
    }
    QStringList lines {first};
    std::vector<QString> readAhead;
    qsizetype chars = 0;
    QString next;
    while (readAhead.size() < size_t(MaxQuotedLines) && chars < MaxQuotedChars && pull(next)) {
        readAhead.push_back(next);
        if (startsMessage(next))
            break;
        QString part;
        const Quoted state = unquoteLine(next, part);
        if (state == Quoted::Broken)
            break;
        lines.append(part);
        if (state == Quoted::Closed)
            return lines;
        chars += next.size();
    }
    // No quoted text after all: the quote is the text's own, and the lines read ahead are read
    // again as lines of their own.
    for (auto it = readAhead.rbegin(); it != readAhead.rend(); ++it)
        m_replay.push_front(std::move(*it));
    return {text.toString()};
}
