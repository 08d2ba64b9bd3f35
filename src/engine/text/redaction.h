#pragma once

#include <QHash>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// Outputs that are safe to share: people's names become stand-ins ("人物A"), and what tells how
// to reach someone or where they live is masked.

// Masks phone numbers, e-mail addresses, postal codes, Japanese street addresses and the query
// strings of URLs in `text`, each by a mark that says what was there ("[電話番号]").
void maskPersonalDetails(QString &text);

// The stand-in of the name met `n`-th (from 0): 人物A … 人物Z, 人物AA, 人物AB, …
QString nameStandIn(qsizetype n);

// The stand-ins a run gives names: in the order the names were first met, each name keeping
// its stand-in through the run (and so across its pages and their index).
class RedactedNames
{
public:
    // Gives every name not yet known its stand-in; names without text are left out.
    void add(const QStringList &names);
    bool isEmpty() const { return m_standIns.isEmpty(); }
    QString standIn(const QString &name) const { return m_standIns.value(name); }
    // The name a stand-in stands for; any other text as it is.
    QString original(const QString &text) const { return m_originals.value(text, text); }

    // Replaces every whole occurrence of a known name, longest names first. A name of Latin
    // letters or digits is whole where no such character touches it ("Ann" not in "Anna").
    void replaceNames(QString &text) const;
    // Masks the personal details of `text`, then replaces the names. `keep`, where it occurs
    // in the text, stays as it is: a header line's header text, which makes it a header line.
    void redact(QString &text, const QString &keep = QString()) const;

private:
    void replaceNamesByScan(QString &text) const;

    QHash<QString, QString> m_standIns;
    QHash<QString, QString> m_originals; // stand-in -> name
    QStringList m_known; // the names, longest first
    QRegularExpression m_names; // every name, longest first
    // Where the names are too many for one pattern: the names starting with each unit, as
    // places in m_known.
    QHash<char16_t, QList<qsizetype>> m_byFirst;
};
