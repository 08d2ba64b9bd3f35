#pragma once

#include "engine/read/shared/dates.h"

#include <QDate>
#include <QStringView>
#include <QTime>
#include <optional>

// The head every record of a WhatsApp export starts with, as each phone language writes it:
// "[15/01/2020, 21:03:07] " from iPhones, "15/01/2020, 21:03 - " from Android phones; the date
// day, month or year first, with "/", "." or "-" ("27.09.23", "2024-02-24", "2020/01/15",
// "2020. 1. 15."), then a comma or only a blank, then the time on a 24-hour or 12-hour clock
// ("9:03 PM", "9:03 PM" with a narrow no-break space, "6:52 p.m.", "9:03 p. m.", "午後9:03"),
// with ":" or "." between its numbers ("12.09.39").
namespace whatsapp {

constexpr QChar Lrm = u'\u200e'; // the left-to-right mark iPhones put before what the app wrote

struct Head
{
    // A mark before the bracket: the record carries a medium (a photo, a file, one left out).
    bool media = false;
    bool bracketed = false; // the iPhone form
    // The date's numbers in the order written; the year first ("2020/01/15") or last.
    int numbers[3] = {0, 0, 0};
    bool yearFirst = false;
    QChar dateSeparator;
    QTime time;
    bool seconds = false;
    // The clock marks the afternoon in capitals ("PM"), as the United States' English does.
    bool capitalHalf = false;
    QStringView rest; // what follows the head: "Name: text", or an event's text
};

// The head at the start of `line`; empty when the line starts no record.
std::optional<Head> parseHead(QStringView line);

// Whether day or month comes first in an export whose years come last, from all its dates:
// a number over 12 tells, then the order that keeps the dates running forward, then the form
// of the date (a dot is written day first; slashes with "PM" in capitals month first).
class DayOrderSurvey
{
public:
    void add(const Head &head);
    DayOrder order() const;

private:
    qsizetype m_dayOver12 = 0; // first numbers over 12: day first
    qsizetype m_monthOver12 = 0;
    qsizetype m_backwardsDayFirst = 0; // dates before the one above them, read day first
    qsizetype m_backwardsMonthFirst = 0;
    QDate m_lastDayFirst, m_lastMonthFirst;
    // The form of the first date: how its numbers are parted, and whether its clock is the
    // United States' ("PM").
    QChar m_separator;
    bool m_capitalHalf = false;
};

// The date of a head read in `order` (year-first dates ignore it); invalid when there is none.
QDate dateOf(const Head &head, DayOrder order);

} // namespace whatsapp
