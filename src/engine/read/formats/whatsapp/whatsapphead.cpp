#include "engine/read/formats/whatsapp/whatsapphead.h"

#include "engine/read/shared/scan.h"

using scan::number;
using scan::take;

namespace whatsapp {

namespace {

// Between the date, the time and the mark of the afternoon: a blank, or a narrow or plain
// no-break space (newer phones write "9:03 PM").
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\u202f' || c == u'\u00a0';
}

void skipBlanks(QStringView &text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
}

// The mark of the morning (0) or the afternoon (1) at the start of `text`, which moves past
// it; -1 for none.
int takeHalf(QStringView &text, bool &capital)
{
    struct Word
    {
        QStringView text;
        int half;
        bool capital;
    };
    static constexpr Word Words[] = {
        {u"AM", 0, true},    {u"PM", 1, true},    {u"am", 0, false},    {u"pm", 1, false},
        {u"a.m.", 0, false}, {u"p.m.", 1, false}, {u"a. m.", 0, false}, {u"p. m.", 1, false},
        {u"午前", 0, false}, {u"午後", 1, false}, {u"오전", 0, false},  {u"오후", 1, false},
        {u"上午", 0, false}, {u"下午", 1, false},
    };
    // Every mark starts with one of these, and most heads have no mark where one is looked for.
    if (text.isEmpty() || !QStringView(u"APap午오上下").contains(text.front()))
        return -1;
    for (const Word &word : Words) {
        if (take(text, word.text)) {
            capital = word.capital;
            return word.half;
        }
    }
    return -1;
}

} // namespace

std::optional<Head> parseHead(QStringView text)
{
    Head head;
    head.media = take(text, Lrm);
    head.bracketed = take(text, u'[');
    if (text.isEmpty() || !scan::isDigit(text.front()))
        return std::nullopt; // most lines of a message stop here

    // The date: three numbers, the year first or last.
    const qsizetype start = text.size();
    const auto first = number(text, 1, 4);
    head.yearFirst = start - text.size() == 4;
    if (!first || text.isEmpty() || !QStringView(u"/.-").contains(text.front()))
        return std::nullopt;
    head.dateSeparator = text.front();
    const auto separator = [&] {
        if (!take(text, head.dateSeparator))
            return false;
        if (head.dateSeparator == u'.')
            take(text, u' '); // "2020. 1. 15."
        return true;
    };
    separator();
    const auto second = number(text, 1, 2);
    if (!second || !separator())
        return std::nullopt;
    const qsizetype yearStart = text.size();
    const auto third = number(text, head.yearFirst ? 1 : 2, head.yearFirst ? 2 : 4);
    if (!third || (!head.yearFirst && yearStart - text.size() == 3))
        return std::nullopt;
    if (head.dateSeparator == u'.')
        take(text, u'.');
    head.numbers[0] = *first;
    head.numbers[1] = *second;
    head.numbers[2] = *third;

    // A comma, or at least a blank, before the time.
    const bool comma = take(text, u',') || take(text, u'،');
    const qsizetype beforeBlanks = text.size();
    skipBlanks(text);
    if (!comma && text.size() == beforeBlanks)
        return std::nullopt;

    bool capital = false;
    int half = takeHalf(text, capital);
    if (half >= 0)
        skipBlanks(text);
    const auto hour = number(text, 1, 2);
    if (!hour || text.isEmpty() || (text.front() != u':' && text.front() != u'.'))
        return std::nullopt;
    const QChar timeSeparator = text.front();
    text = text.sliced(1);
    const auto minute = number(text, 2, 2);
    if (!minute)
        return std::nullopt;
    std::optional<int> seconds;
    if (take(text, timeSeparator) && !(seconds = number(text, 2, 2)))
        return std::nullopt;
    if (half < 0) {
        QStringView after = text;
        skipBlanks(after);
        half = takeHalf(after, capital);
        if (half >= 0)
            text = after;
    }
    int h = *hour;
    if (half >= 0) {
        if (h > 12)
            return std::nullopt;
        h = h % 12 + (half == 1 ? 12 : 0);
    } else if (h > 23) {
        return std::nullopt;
    }
    if (*minute > 59 || seconds.value_or(0) > 59)
        return std::nullopt;
    head.time = QTime(h, *minute, seconds.value_or(0));
    head.seconds = seconds.has_value();
    head.capitalHalf = half >= 0 && capital;

    if (head.bracketed) {
        if (!take(text, u']'))
            return std::nullopt;
        take(text, u' ');
    } else if (!take(text, u" - ") && !take(text, u" – ")) {
        return std::nullopt;
    }
    head.rest = text;
    return head;
}

QDate dateOf(const Head &head, DayOrder order)
{
    const int *n = head.numbers;
    if (head.yearFirst)
        return QDate(n[0], n[1], n[2]);
    const int year = n[2] < 100 ? 2000 + n[2] : n[2];
    return order == DayOrder::MonthFirst ? QDate(year, n[0], n[1]) : QDate(year, n[1], n[0]);
}

void DayOrderSurvey::add(const Head &head)
{
    if (head.yearFirst)
        return;
    if (m_separator.isNull()) {
        m_separator = head.dateSeparator;
        m_capitalHalf = head.capitalHalf;
    }
    m_dayOver12 += head.numbers[0] > 12;
    m_monthOver12 += head.numbers[1] > 12;
    const auto runs = [](QDate date, QDate &last, qsizetype &backwards) {
        if (!date.isValid())
            return;
        backwards += last.isValid() && date < last;
        last = date;
    };
    runs(dateOf(head, DayOrder::DayFirst), m_lastDayFirst, m_backwardsDayFirst);
    runs(dateOf(head, DayOrder::MonthFirst), m_lastMonthFirst, m_backwardsMonthFirst);
}

DayOrder DayOrderSurvey::order() const
{
    if (m_dayOver12 != m_monthOver12)
        return m_dayOver12 > m_monthOver12 ? DayOrder::DayFirst : DayOrder::MonthFirst;
    if (m_backwardsDayFirst != m_backwardsMonthFirst)
        return m_backwardsDayFirst < m_backwardsMonthFirst ? DayOrder::DayFirst
                                                           : DayOrder::MonthFirst;
    return m_separator == u'/' && m_capitalHalf ? DayOrder::MonthFirst : DayOrder::DayFirst;
}

} // namespace whatsapp
