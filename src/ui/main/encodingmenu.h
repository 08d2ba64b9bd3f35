#pragma once

#include <QMenu>

struct Settings;

// The "文字コード" submenu of "設定(&S)": how logs are read, 自動 (detected per log),
// Shift-JIS, UTF-8 or UTF-16, as one radio group. A choice goes into the settings at once, and
// `chosen` follows.
//
// objectNames: mnuEncoding, with the items mnuEncodingAuto, mnuEncodingSjis, mnuEncodingUtf8,
// mnuEncodingUtf16.
class EncodingMenu : public QMenu
{
    Q_OBJECT

public:
    EncodingMenu(Settings &settings, QWidget *parent);

    // Checks the item of the stored choice (after the settings were loaded).
    void showChoice();

signals:
    // The user chose an item; the settings hold it.
    void chosen();

private:
    Settings &m_settings;
    QList<QAction *> m_items; // in the order of EncodingWords
};
