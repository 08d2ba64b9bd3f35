#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Times of day as chat exports write them, on 24-hour and 12-hour clocks in many languages.

// A time of day as a record starts with it: "21:03", "9:03", "09:03:07", "24:32" (iOS counts
// the hours 1 to 24: its 24:32 is half past midnight, written under its own day line, before
// that day's later hours), "午後9:03", "午後 9:03", "上午09:59", "下午12:13",
// "PM 9:03", "9:03 PM", "9:03pm", "오후 9:03".
struct ClockTime
{
    int hour = 0; // 0–29: 24 and on are the first hours of the day line's own day
    int minute = 0;
    int second = -1; // -1 when not written

    // As a page shows it: 24-hour "HH:MM" (":SS" when given); "24:32" as written.
    QString text() const;
};
std::optional<ClockTime> parseClockTime(QStringView text);

// Whether `text` starts the way a time does ("21:", "9:", "午後", "PM 1"…): a line that starts
// so and has the record's separator is a record, even when its time cannot be read.
bool startsLikeClockTime(QStringView text);
