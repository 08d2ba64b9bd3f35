#include "timezonemenu.h"

#include "settings/settings.h"

#include <QActionGroup>
#include <QTimeZone>

namespace {

// The zones offered besides the PC's own: UTC, then east to west.
const char *const Zones[] = {
    "UTC",
    "Asia/Tokyo",
    "Asia/Seoul",
    "Asia/Shanghai",
    "Asia/Taipei",
    "Asia/Bangkok",
    "Asia/Jakarta",
    "Asia/Kolkata",
    "Europe/Berlin",
    "Europe/London",
    "America/New_York",
    "America/Los_Angeles",
    "Australia/Sydney",
    "Pacific/Honolulu",
};

} // namespace

TimeZoneMenu::TimeZoneMenu(Settings &settings, QWidget *parent)
    : QMenu(QStringLiteral("時刻帯(&T)"), parent)
    , m_settings(settings)
    , m_group(new QActionGroup(this))
{
    setObjectName(QStringLiteral("mnuTimeZone"));
    QAction *system = addZone(QString(), QStringLiteral("この PC の時刻帯"));
    system->setObjectName(QStringLiteral("mnuTimeZoneSystem"));
    addSeparator();
    for (const char *zone : Zones) {
        if (QTimeZone(zone).isValid())
            addZone(QString::fromLatin1(zone), QString::fromLatin1(zone));
    }
}

QAction *TimeZoneMenu::addZone(const QString &zone, const QString &caption)
{
    QAction *item = addAction(caption);
    item->setObjectName(QStringLiteral("mnuTimeZone_") + zone);
    item->setCheckable(true);
    item->setData(zone);
    m_group->addAction(item);
    connect(item, &QAction::triggered, this, [this, item] {
        m_settings.timeZone = item->data().toString();
        emit chosen();
    });
    return item;
}

void TimeZoneMenu::showChoice()
{
    const QString zone
        = QTimeZone(m_settings.timeZone.toUtf8()).isValid() ? m_settings.timeZone : QString();
    for (QAction *item : m_group->actions()) {
        if (item->data().toString() == zone) {
            item->setChecked(true);
            return;
        }
    }
    // A zone of the settings file that the list lacks: offered too, so it stays chosen.
    if (!m_stored) {
        m_stored = addZone(zone, zone);
        m_stored->setObjectName(QStringLiteral("mnuTimeZoneStored"));
    } else {
        m_stored->setText(zone);
        m_stored->setData(zone);
    }
    m_stored->setChecked(true);
}
