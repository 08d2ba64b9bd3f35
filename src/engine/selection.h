#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The extension of the outputs the converter that changeType names writes: "htm" for the page
// (any changeType but 0), "txt" for the indented text.
inline QString outputExtension(int changeType)
{
    return changeType != 0 ? QStringLiteral("htm") : QStringLiteral("txt");
}

// The logs chosen for the next conversion run: pairs of log path and output stem, ordered by
// path (locale-aware, ignoring letter case, ties broken by exact comparison), no path twice.
// The output of log i is stem(i) + outputExtension(changeType).
class Selection
{
public:
    struct Item
    {
        QString path;
        QString stem;
    };

    // The stored pairs, in order. They are kept across intakes.
    const QList<Item> &items() const { return m_items; }

    // What the run and the window count: every stored pair, or none while the pairs are held
    // back after an intake that took nothing (they wait, stored, for the next intake).
    int selectedCount() const { return m_heldBack ? 0 : int(m_items.size()); }

    QString path(int i) const { return i >= 0 && i < m_items.size() ? m_items[i].path : QString(); }
    QString stem(int i) const { return i >= 0 && i < m_items.size() ? m_items[i].stem : QString(); }

    // The selection becomes exactly `items`, all counted.
    void setItems(QList<Item> items)
    {
        m_items = std::move(items);
        m_heldBack = false;
    }
    bool isHeldBack() const { return m_heldBack; }
    void setHeldBack(bool heldBack) { m_heldBack = heldBack; }
    void clear()
    {
        m_items.clear();
        m_heldBack = false;
    }

private:
    QList<Item> m_items;
    bool m_heldBack = false;
};
