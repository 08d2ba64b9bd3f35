#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <array>

// The figures of a chat that its charts show, gathered while its utterances pass: how many in
// each month, in each hour of each weekday, the first and the last, and the days on which
// anyone spoke. Only stamps whose date reads as "YYYY/MM/DD" count; a log without dates leaves
// everything empty. An utterance costs a few comparisons and no allocation: the lists grow by
// month and by day, not by line.
class ChatStats
{
public:
    static constexpr int Weekdays = 7;
    static constexpr int Hours = 24;

    struct Moment
    {
        QString date; // "YYYY/MM/DD"
        QString time; // as the log tells it, may be empty
        qsizetype speaker = -1;
        qsizetype utterance = 0; // its number on the page (from 1), 0 where it has none
    };
    struct DayRun
    {
        qint64 firstDay = 0; // Julian day
        qsizetype days = 0;
    };

    struct DayCount
    {
        qint64 day = 0; // Julian day
        qint32 count = 0;
    };

    // Utterance `utterance` (0 where it has no number) of speaker `speaker` (its number),
    // stamped `date` and `time`.
    void add(qsizetype speaker, qsizetype utterance, const QString &date, const QString &time);

    bool hasDates() const { return m_firstMonth >= 0; }
    // Months counted from year 0 (year * 12 + month - 1): the first one counted.
    int firstMonth() const { return m_firstMonth; }
    // A month so counted as "YYYY/MM".
    static QString monthText(int month);
    // Utterances per month, from firstMonth() to the last one, empty months included: the
    // last fifty years at most (MaxMonths), as a date far off (a damaged one) would otherwise
    // spread a chart and the index over centuries of empty months.
    static constexpr qsizetype MaxMonths = 600;
    const QList<qint32> &months() const { return m_months; }
    // Utterances of speaker `speaker` in month `month` (counted as firstMonth() is).
    qint32 speakerMonth(qsizetype speaker, int month) const
    {
        return m_speakerMonths.value(quint64(month) << 32 | quint64(speaker));
    }
    // Utterances per weekday (Monday first) and hour: [weekday * Hours + hour].
    const std::array<qint32, Weekdays * Hours> &hours() const { return m_hours; }
    bool hasTimes() const { return m_timed > 0; }
    const Moment &first() const { return m_first.moment; }
    const Moment &last() const { return m_last.moment; }
    // The days with utterances, earliest first, each once with its count: a calendar's days.
    QList<DayCount> days() const;
    // For each month of months(), the first day of the month (1 to 31) with an utterance, or 0.
    QList<qint32> firstDays() const;
    // The longest run of consecutive days with an utterance (the earliest of equal ones).
    DayRun longestRun() const;

    // "2003/07/12" as a date; invalid for any other text.
    static QDate dateOf(const QString &text);
    // The anchor of a day's heading on the modern page: "d20030712".
    static QString dayAnchor(QDate day);

private:
    void countMonth();

    struct Stamp
    {
        qint64 day = 0;
        int seconds = -1; // of the day, -1 where the time was not read
        Moment moment;
    };

    QString m_date; // the last date read, and what it gave
    qint64 m_day = 0;
    int m_month = -1;
    int m_weekday = 0;
    int m_firstMonth = -1;
    QList<qint32> m_months;
    // Utterances by month and speaker: (month << 32 | speaker). A key a month a speaker spoke
    // in, so it grows with the months, not with the lines.
    QHash<quint64, qint32> m_speakerMonths;
    std::array<qint32, Weekdays * Hours> m_hours {};
    qsizetype m_timed = 0;
    Stamp m_first;
    Stamp m_last;
    QList<qint64> m_days; // each day as it began, in the log's order
    QList<qint32> m_dayCounts; // the utterances of each of m_days
};
