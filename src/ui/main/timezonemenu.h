#pragma once

#include <QMenu>

struct Settings;

// The "時刻帯" submenu of "設定(&S)": the zone a chat export's times are shown in, where the
// export writes them as instants (UTC). "この PC の時刻帯" (the default), UTC and the zones
// most chats are read in, one radio group; a zone stored otherwise (by hand in the settings
// file) shows as an item of its own. A choice goes into the settings at once, and `chosen`
// follows; `--timezone` overrides it for one batch run.
//
// objectNames: mnuTimeZone, with the items mnuTimeZoneSystem and mnuTimeZone_<IANA name>
// ("mnuTimeZone_Asia/Tokyo").
class TimeZoneMenu : public QMenu
{
    Q_OBJECT

public:
    TimeZoneMenu(Settings &settings, QWidget *parent);

    // Checks the item of the stored choice (after the settings were loaded).
    void showChoice();

signals:
    // The user chose an item; the settings hold it.
    void chosen();

private:
    QAction *addZone(const QString &zone, const QString &caption);

    Settings &m_settings;
    QActionGroup *m_group;
    QAction *m_stored = nullptr; // the item of a zone stored outside the list
};
