#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <QTime>
#include <optional>

// When a LINE export says something was said: the times of its records and the dates of its day
// lines, in the forms the app has written them on phones and on the desktop, in its languages.

// A time of day as a record starts with it: "21:03", "9:03", "09:03:07", "24:32" (iOS counts
// the hours 1 to 24: its 24:32 is half past midnight, written under its own day line, before
// that day's later hours), "午後9:03", "午後 9:03", "上午09:59", "下午12:13",
// "PM 9:03", "9:03 PM", "9:03pm", "오후 9:03".
struct LineTime
{
    int hour = 0; // 0–29: 24 and on are the first hours of the day line's own day
    int minute = 0;
    int second = -1; // -1 when not written

    // As a page shows it: 24-hour "HH:MM" (":SS" when given); "24:32" as written.
    QString text() const;
};
std::optional<LineTime> parseLineTime(QStringView text);

// Whether `text` starts the way a time does ("21:", "9:", "午後", "PM 1"…): a line that starts
// so and has the record's separator is a record, even when its time cannot be read.
bool startsLikeTime(QStringView text);

// In "Wed, 10/07/2019" either number may be the month: an export is written in one order.
enum class DayOrder { Unknown, MonthFirst, DayFirst };

// A day line as read.
struct LineDate
{
    QDate date; // in `order`, or month first while the order is unknown
    // For "Wed, 10/07/2019": whether the weekday named agrees with the date read month first,
    // and with the date read day first.
    bool ambiguous = false;
    bool monthFirstAgrees = false;
    bool dayFirstAgrees = false;
};

// A day line: "2018/08/22(水)", "2018/08/22（水）", "2024/1/23(火)", "2016/5/8（週日）",
// "2024.01.15 月曜日", "2024.01.15 Monday", "2020.07.21 星期二", "2015/12/25 Fri",
// "2019年3月18日(月)", "Wed, 10/07/2019", "Fri, 1/19/2018", "Wed, 10/07/2562 BE" (a year of the
// Buddhist era: 2562 is 2019), with a weekday in English, Japanese, Chinese, Korean, Thai or
// Indonesian. Nothing else may stand on the line.
std::optional<LineDate> parseLineDate(QStringView line, DayOrder order = DayOrder::Unknown);

// "2024/01/15": how dates are shown and compared.
QString dateText(QDate date);
