#pragma once

#include <QDateTime>
#include <QTimeZone>
#include <QtGlobal>

// Times in UTC as every record of a chat export gets one. Before Qt 6.5, QTimeZone::utc() is a
// zone of the time zone database: looked up anew each time, and held by every QDateTime made
// with it on the heap. The UTC time spec is held in place, and reads the same.
namespace utc {

inline QDateTime at(QDate date, QTime time)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    return QDateTime(date, time, QTimeZone::UTC);
#else
    return QDateTime(date, time, Qt::UTC);
#endif
}

inline QDateTime fromMSecs(qint64 ms)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::UTC);
#else
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
#endif
}

} // namespace utc
