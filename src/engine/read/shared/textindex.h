#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// Where each text of a list stands in it, found by open addressing without a copy of the text
// looked up: for lists that keep each distinct text once and mostly grow (the times of a log are
// mostly each written once). The list grows only through intern(), and is cleared with it.
class TextIndex
{
public:
    // The index of `text` in `texts`, added at the end when it is not there.
    qint32 intern(QStringList &texts, QStringView text) { return intern(texts, text, nullptr); }
    // The same, the text shared when it is added.
    qint32 intern(QStringList &texts, const QString &text)
    {
        return intern(texts, QStringView(text), &text);
    }
    void clear() { m_slots.clear(); }

private:
    qint32 intern(QStringList &texts, QStringView text, const QString *whole);

    QList<qint32> m_slots; // indices into the texts, -1 where free
};
