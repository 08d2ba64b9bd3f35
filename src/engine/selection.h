#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The logs chosen for the next conversion run: pairs of log path and output stem, ordered by
// path (locale-aware, ignoring letter case, ties broken by exact comparison), no path twice.
// The output of log i is stems[i] + "txt" or stems[i] + "htm".
struct Selection
{
    struct Item
    {
        QString path;
        QString stem;
    };

    // The accumulated pairs, in order. Kept across intakes; `selectedCount` is what the run and
    // the window count (an intake that accepts nothing leaves it at 0 with the pairs stored).
    QList<Item> items;
    int selectedCount = 0;

    QString path(int i) const { return i >= 0 && i < items.size() ? items[i].path : QString(); }
    QString stem(int i) const { return i >= 0 && i < items.size() ? items[i].stem : QString(); }
    void clear()
    {
        items.clear();
        selectedCount = 0;
    }
};
