#include "engine/read/formats/lineexport/lineexport.h"

#include "engine/read/formats/lineexport/lineexportwords.h"
#include "engine/read/shared/dates.h"

#include <utility>

namespace {

using textcodec::LineEnd;

// A text that claims to span lines yet never closes is read again line by line after this
// much; real messages are far shorter.
constexpr qsizetype MaxQuotedLines = 20000;
constexpr qsizetype MaxQuotedChars = 4 * 1024 * 1024;
// What a survey keeps of the senders of an export separated by blanks: this many first words,
// and this many words seen after each.
constexpr qsizetype MaxSurveyedNames = 4096;
constexpr qsizetype MaxFollowingWords = 16;

// Where a text in quotes stands after one of its lines.
enum class Quoted { Open, Closed, Broken };

// Appends a line of a quoted text to `out` with its doubled quotes undone. The text closes with
// a single quote at the end of a line; a single quote anywhere else means it was no quoted text.
Quoted unquoteLine(QStringView line, QString &out)
{
    for (qsizetype from = 0;;) {
        const qsizetype quote = line.indexOf(u'"', from);
        out += line.sliced(from, (quote < 0 ? line.size() : quote) - from);
        if (quote < 0)
            return Quoted::Open;
        if (quote + 1 < line.size() && line[quote + 1] == u'"') {
            out += u'"';
            from = quote + 2;
        } else {
            return quote + 1 == line.size() ? Quoted::Closed : Quoted::Broken;
        }
    }
}

bool opensBracket(QChar c)
{
    return QStringView(u"(（[【「『").contains(c);
}

bool closesBracket(QChar c)
{
    return QStringView(u")）]】」』").contains(c);
}

// The end of a sender's first word in a record separated by blanks; a bracket opened in it
// keeps it going ("林小雲（blue sky）"). -1 when no blank follows it: then no text does.
qsizetype firstWordEnd(QStringView rest)
{
    int depth = 0;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QChar c = rest[i];
        if (opensBracket(c))
            ++depth;
        else if (closesBracket(c) && depth > 0)
            --depth;
        else if (c == u' ' && depth == 0)
            return i;
    }
    return -1;
}

// The time at the start of a record separated by blanks ("09:59 名前 本文"), and the rest.
std::optional<std::pair<ClockTime, QStringView>> blankRecordStart(QStringView line)
{
    const qsizetype blank = line.indexOf(u' ');
    if (blank <= 0 || line.contains(u'\t'))
        return std::nullopt;
    const auto time = parseClockTime(line.first(blank));
    if (!time)
        return std::nullopt;
    return std::pair<ClockTime, QStringView>(*time, line.sliced(blank + 1));
}

} // namespace

bool startsAsLineExport(QStringView head)
{
    // The lines the app writes above the first record, in the orders its exports show: the
    // title, the saved-on line, day lines (of days with no records too) and blank lines.
    constexpr int MaxHeadLines = 64;
    bool dayLine = false;
    int lines = 0;
    for (QStringView rest = head; !rest.isEmpty() && lines < MaxHeadLines; ++lines) {
        qsizetype end = 0;
        while (end < rest.size() && rest[end] != u'\n' && rest[end] != u'\r')
            ++end;
        const QStringView line = rest.first(end);
        if (end + 1 < rest.size() && rest[end] == u'\r' && rest[end + 1] == u'\n')
            ++end;
        rest = rest.sliced(qMin(end + 1, rest.size()));
        if (line.trimmed().isEmpty())
            continue;
        if (!dayLine && isLineExportTitle(line))
            return true;
        if (parseWrittenDate(line)) {
            dayLine = true;
            continue;
        }
        if (!dayLine && isSavedOnLine(line) && !startsLikeClockTime(line))
            continue;
        // The first line of another kind is a record under a day line, or no export's.
        if (!dayLine || !startsLikeClockTime(line))
            return false;
        const qsizetype tab = line.indexOf(u'\t');
        return (tab > 0 && parseClockTime(line.first(tab))) || blankRecordStart(line);
    }
    return false;
}

LineExportConverter::LineExportConverter(const QString &headerText, Source source, Survey survey)
    : m_headerText(headerText)
    , m_source(std::move(source))
    , m_survey(std::move(survey))
{
}

void LineExportConverter::reset()
{
    m_out.clear();
    m_lastEnd = LineEnd::CrLf;
    m_replay.clear();
    m_sourceDone = false;
    m_inHead = true;
    m_titled = false;
    m_family = Family::Unknown;
    m_block = Block::None;
    m_blockDate = QDate();
    m_blockTime.reset();
    m_date = QDate();
    m_blanks.clear();
}

bool LineExportConverter::next(Converted &line)
{
    while (m_out.empty()) {
        if (!pull(m_line)) {
            // The last notice is closed; blank lines at the end belong to no message.
            closeBlock();
            m_blanks.clear();
            if (m_out.empty())
                return false;
            break;
        }
        process(m_line);
    }
    line = std::move(m_out.front());
    m_out.pop_front();
    return true;
}

bool LineExportConverter::pull(ExportLine &line)
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

void LineExportConverter::process(ExportLine &line)
{
    const QString &text = line.text;
    if (m_inHead && !text.isEmpty()) {
        // The title and the saved-on line stand above everything else, blank lines between.
        const bool title = !m_titled && isLineExportTitle(text);
        if (title
            || (isSavedOnLine(text) && !startsLikeClockTime(text) && !parseWrittenDate(text))) {
            if (title)
                m_chatName = ::chatName(text);
            else
                m_savedOn = savedOnDate(text);
            m_titled = true;
            m_blanks.clear();
            openNotice(text, LineRole::Title, QDate(), std::nullopt, line.end);
            closeBlock();
            return;
        }
        m_inHead = false;
    }
    if (text.isEmpty()) {
        if (!m_blanks.empty() && m_blanks.back().first == line.end)
            ++m_blanks.back().second;
        else
            m_blanks.emplace_back(line.end, 1);
        return;
    }
    if (auto date = parseWrittenDate(text, m_order)) {
        if (date->ambiguous && !m_surveyed) {
            survey();
            date = parseWrittenDate(text, m_order);
        }
        dayLine(line, *date);
        return;
    }
    if (auto found = record(text)) {
        startRecord(std::move(*found), line);
        return;
    }
    continuation(line);
}

std::optional<LineExportConverter::Record> LineExportConverter::record(const QString &line)
{
    if (!startsLikeClockTime(line))
        return std::nullopt;
    // The tab after the time, within the few characters a time takes.
    qsizetype tab = 0;
    while (tab < line.size() && tab <= 12 && line[tab] != u'\t')
        ++tab;
    if (tab > 12 || tab == line.size())
        tab = line.indexOf(u'\t');
    if (tab < 0)
        return m_family == Family::Tabs ? std::nullopt : blankSeparated(line);
    if (m_family == Family::Blanks)
        return std::nullopt;
    Record r;
    r.timeText = QStringView(line).first(tab);
    r.time = parseClockTime(r.timeText);
    // A time that cannot be read still opens a record, unless it is text that starts with one.
    if (!r.time && r.timeText.size() > 10)
        return std::nullopt;
    m_family = Family::Tabs;
    const QStringView rest = QStringView(line).sliced(tab + 1);
    // Looked for by hand: a sender's name is short, and a call per record costs more.
    qsizetype senderEnd = 0;
    while (senderEnd < rest.size() && rest[senderEnd] != u'\t')
        ++senderEnd;
    if (senderEnd == rest.size()) {
        // Two columns: an event ("X joined the group.", a taken-back message).
        r.text = rest;
        r.event = true;
        return r;
    }
    r.sender = rest.first(senderEnd);
    r.text = rest.sliced(senderEnd + 1);
    r.event = r.sender.isEmpty() || isEventText(r.text);
    return r;
}

std::optional<LineExportConverter::Record> LineExportConverter::blankSeparated(const QString &line)
{
    const auto start = blankRecordStart(line);
    if (!start)
        return std::nullopt;
    const QStringView rest = start->second;
    Record r;
    r.timeText = QStringView(line).first(line.indexOf(u' '));
    r.time = start->first;
    if (isUnsendText(rest)) {
        // "王大明已收回訊息", or one's own without a name: an event.
        r.text = rest;
        r.event = true;
        m_family = Family::Blanks;
        return r;
    }
    if (!m_surveyed)
        survey();
    const qsizetype sender = senderLength(rest);
    if (sender <= 0 || sender + 1 >= rest.size()) {
        // No text after the name: "09:30 開場" inside a message is a line of it. With text,
        // the line is a record even from a sender met nowhere else.
        if (!isEventText(rest))
            return std::nullopt;
        r.text = rest;
        r.event = true;
        return r;
    }
    r.sender = rest.first(sender);
    m_family = Family::Blanks;
    r.text = rest.sliced(sender + 1);
    r.event = isEventText(r.text);
    return r;
}

qsizetype LineExportConverter::senderLength(QStringView rest) const
{
    const qsizetype end = firstWordEnd(rest);
    if (end <= 0)
        return 0;
    const auto longer = m_longNames.constFind(rest.first(end).toString());
    if (longer != m_longNames.cend() && rest.size() > longer->size() && rest.startsWith(*longer)
        && rest[longer->size()] == u' ')
        return longer->size();
    return end;
}

void LineExportConverter::survey()
{
    m_surveyed = true;
    if (!m_survey)
        return;
    qsizetype monthFirst = 0, dayFirst = 0;
    QHash<QString, QHash<QString, qsizetype>> following; // first word -> next word -> times
    m_survey([&](QStringView line) {
        if (const auto date = parseWrittenDate(line)) {
            monthFirst += date->monthFirstAgrees && !date->dayFirstAgrees;
            dayFirst += date->dayFirstAgrees && !date->monthFirstAgrees;
            return;
        }
        const auto start = blankRecordStart(line);
        if (!start)
            return;
        const QStringView rest = start->second;
        const qsizetype end = firstWordEnd(rest);
        if (end <= 0)
            return;
        const QString first = rest.first(end).toString();
        if (!m_senderCounts.contains(first) && m_senderCounts.size() >= MaxSurveyedNames)
            return;
        ++m_senderCounts[first];
        const QStringView after = rest.sliced(end + 1);
        const qsizetype next = firstWordEnd(after);
        if (next <= 0)
            return; // a word after the first is a name's only when text follows it
        QHash<QString, qsizetype> &words = following[first];
        const QString word = after.first(next).toString();
        if (words.contains(word) || words.size() < MaxFollowingWords)
            ++words[word];
    });
    m_order = dayFirst > monthFirst ? DayOrder::DayFirst : DayOrder::MonthFirst;
    // A sender's first word followed by the same word nearly every time: a name of two words.
    for (auto it = following.cbegin(); it != following.cend(); ++it) {
        const qsizetype times = m_senderCounts.value(it.key());
        for (auto word = it->cbegin(); word != it->cend(); ++word) {
            if (times >= 2 && word.value() * 10 >= times * 9)
                m_longNames.insert(it.key(), it.key() + u' ' + word.key());
        }
    }
}

void LineExportConverter::startRecord(Record r, const ExportLine &line)
{
    closeBlock();
    m_blanks.clear();
    const QDate date = m_date;
    const std::optional<ClockTime> time = r.time;
    if (r.event) {
        // An event in someone's name says whose it is, where its text does not.
        const QString who = r.sender.isEmpty() || r.text.contains(r.sender)
            ? QString()
            : r.sender + QStringLiteral(": ");
        openNotice(r.timeText + u' ' + who + r.text, LineRole::Notice, date, time, line.end);
        return;
    }
    add(headerLine(r.sender), LineRole::Header, date, time, line.end, true, r.timeText.size() + 1);
    m_out.back().sourceLine = line.number;
    if (!r.text.startsWith(u'"')) {
        // The common case: a message of one line.
        const LineRole role = isPlaceholder(r.text) ? LineRole::Placeholder : LineRole::Message;
        add(m_messageText ? r.timeText + u' ' + r.text : QString(), role, date, time, line.end);
    } else {
        std::vector<LineEnd> ends;
        QStringList lines = quotedText(r.text, line, ends);
        const bool placeholder = lines.size() == 1 && isPlaceholder(lines.first());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QString text = i == 0 ? r.timeText + u' ' + lines[i] : std::move(lines[i]);
            add(std::move(text), placeholder ? LineRole::Placeholder : LineRole::Message, date,
                time, ends[size_t(i)]);
        }
    }
    m_block = Block::Message;
    m_blockDate = date;
    m_blockTime = time;
}

QString LineExportConverter::headerLine(QStringView sender)
{
    // A chat's few senders take turns: their lines are made once and shared.
    for (const QString &made : m_headerLines) {
        // The first characters told apart before the call that compares the rest.
        if (made.size() == sender.size() + 1 + m_headerText.size() && made[sender.size()] == u' '
            && (sender.isEmpty() || made.front() == sender.front())
            && QStringView(made).first(sender.size()) == sender)
            return made;
    }
    QString made = sender + u' ' + m_headerText;
    if (m_headerLines.size() == HeaderLinesKept)
        m_headerLines.erase(m_headerLines.begin());
    m_headerLines.push_back(made);
    return made;
}

void LineExportConverter::dayLine(const ExportLine &line, const WrittenDate &date)
{
    closeBlock();
    m_blanks.clear();
    m_date = date.date;
    openNotice(line.text, LineRole::Date, m_date, std::nullopt, line.end);
    closeBlock();
}

void LineExportConverter::continuation(const ExportLine &line)
{
    if (m_block == Block::None) {
        // A line that belongs to nothing before it stands as a notice of its own; lines like
        // it that follow join it.
        m_blanks.clear();
        openNotice(line.text, LineRole::Notice, m_date, std::nullopt, line.end);
        return;
    }
    const LineRole role = m_block == Block::Message ? LineRole::Message : LineRole::Notice;
    // Blank lines followed by more of the message are part of it.
    for (const auto &[end, count] : m_blanks) {
        for (qsizetype n = 0; n < count; ++n)
            add(QString(), role, m_blockDate, m_blockTime, end);
    }
    m_blanks.clear();
    add(line.text, role, m_blockDate, m_blockTime, line.end);
}

void LineExportConverter::openNotice(const QString &text, LineRole role, QDate date,
                                     std::optional<ClockTime> time, LineEnd end)
{
    closeBlock();
    add(SeparatorLine, LineRole::Frame, date, time, end, true);
    add(text, role, date, time, end);
    m_block = Block::Event;
    m_blockDate = date;
    m_blockTime = time;
}

void LineExportConverter::closeBlock()
{
    if (m_block == Block::Event) {
        add(SeparatorLine, LineRole::Frame, m_blockDate, m_blockTime, m_lastEnd);
    }
    m_block = Block::None;
}

QStringList LineExportConverter::quotedText(QStringView text, const ExportLine &first,
                                            std::vector<LineEnd> &ends)
{
    ends = {first.end};
    QString firstPart;
    switch (unquoteLine(text.sliced(1), firstPart)) {
    case Quoted::Open:
        break;
    case Quoted::Closed:
        // Closed on the same line: quotes the sender typed, unless doubled quotes inside show
        // the export's own quoting.
        return {firstPart.size() < text.size() - 2 ? firstPart : text.toString()};
    case Quoted::Broken:
        return {text.toString()};
    }
    QStringList lines {firstPart};
    std::vector<ExportLine> readAhead;
    qsizetype chars = 0;
    ExportLine next;
    while (readAhead.size() < size_t(MaxQuotedLines) && chars < MaxQuotedChars && pull(next)) {
        readAhead.push_back(next);
        if (record(next.text))
            break;
        QString part;
        const Quoted state = unquoteLine(next.text, part);
        if (state == Quoted::Broken)
            break;
        lines.append(part);
        ends.push_back(next.end);
        if (state == Quoted::Closed)
            return lines;
        chars += next.text.size();
    }
    // No quoted text after all: the quote is the text's own, and the lines read ahead are read
    // again as lines of their own.
    for (auto it = readAhead.rbegin(); it != readAhead.rend(); ++it)
        m_replay.push_front(std::move(*it));
    ends = {first.end};
    return {text.toString()};
}
