#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QStringView>

// An instant as JSON exports write it: "2024-01-15T21:03:05Z", "2024-01-15T21:03:05.123+09:00".
// Those forms are read by hand, as every message of an export has one; any other form as Qt reads
// ISO 8601 (Qt::ISODateWithMs). Only the instant is kept: one with an offset comes back in UTC.
QDateTime isoDateTime(QStringView text);
// The same from the text's UTF-8, as JSON holds it: a short ASCII one read with no string made.
QDateTime isoDateTimeUtf8(QByteArrayView utf8);
// "2021-03-04T12:34:56" at the start of `text`, a date and time as written with no zone; false
// for any other form.
bool isoDateAndTime(QStringView text, QDate &date, QTime &time);
