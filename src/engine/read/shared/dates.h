#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <optional>

// Dates as chat exports write them on a line of their own: year first or weekday first, with
// weekdays in many languages and years of the Buddhist era.

// In "Wed, 10/07/2019" either number may be the month: an export is written in one order.
enum class DayOrder { Unknown, MonthFirst, DayFirst };

// A day line as read.
struct WrittenDate
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
// Buddhist era: 2562 is 2019), "ศ. 28/11/2568", "Mo., 18.03.2024", "Th 2, 06/04/2026", with a
// weekday in English, Japanese, Chinese, Korean, Thai, Indonesian, Vietnamese, German, French,
// Spanish, Portuguese or Italian. Nothing else may stand on the line.
std::optional<WrittenDate> parseWrittenDate(QStringView line, DayOrder order = DayOrder::Unknown);

// "2024/01/15": how dates are shown and compared.
QString dateText(QDate date);

// The date of an export's saved-on line, its label left out ("保存日時：2024/01/15 21:03" gives
// "2024/01/15 21:03"): the label ends at the first colon, full-width or not.
QString savedOnDate(QStringView line);
