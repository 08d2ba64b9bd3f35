#pragma once

#include "engine/read/linerole.h"
#include "engine/text/wildcard.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

// The speakers of one log, gathered from its header lines. A speaker's key is "<dt>" plus the
// beginning of a header line up to and including the header text; keys are exactly distinct and
// ordered by the Japanese collation ignoring letter case, ties broken by code point, so names
// that differ only in case are two speakers next to each other. Speaker k is the k-th key.
class SpeakerKeys
{
public:
    // `escapedText`: the lines are plain text escaped for the page (a LINE export), so a name
    // is told to the user (plainName) with its escapes undone.
    explicit SpeakerKeys(const QString &headerText, bool escapedText = false);

    // The beginning of a header line up to and including the first occurrence of the header
    // text. When the header text holds wildcards and does not occur literally, it ends where
    // the line first matches "*" + headerText. A line the log's structure marks as a header
    // (LineRole::Header) is the sender and the header text, nothing more: all of it.
    QStringView headerPrefix(QStringView headerLine, LineRole role = LineRole::Unknown) const;

    // Pass 1: a header line as read from the log; `lines`: that many header lines with its
    // header prefix.
    void add(QStringView headerLine, LineRole role = LineRole::Unknown, qsizetype lines = 1);
    // The same for a line held as a string, which is its own key when it is all prefix.
    void add(const QString &headerLine, LineRole role = LineRole::Unknown, qsizetype lines = 1);
    // Orders the keys once every header line was added.
    void finish();

    qsizetype count() const { return m_keys.size(); }
    bool isEmpty() const { return m_keys.isEmpty(); }
    QString key(qsizetype k) const { return QStringLiteral("<dt>") + m_keys[k].prefix; }
    // The speaker's name: the key's text before the header text, without blanks at its ends,
    // as the page shows it (markup).
    QString name(qsizetype k) const { return m_keys[k].name; }
    // The name as the user reads it in the colour dialog and as rules and later logs of a run
    // match it: the page's name, or for escaped text the name as the log wrote it.
    QString plainName(qsizetype k) const;
    QStringList names() const;
    // How many header lines of the log belong to speaker k.
    qsizetype lineCount(qsizetype k) const { return m_keys[k].lines; }

    // Pass 2: the speaker whose key is a literal prefix of "<dt>" + headerLine, -1 when none.
    // A line starts with at most one key (its own header prefix), so it is looked up directly.
    // With `prefixLength`, also the length of the line's header prefix.
    qsizetype speakerOf(QStringView headerLine, qsizetype *prefixLength = nullptr,
                        LineRole role = LineRole::Unknown) const;
    // The same for a line held as a string, looked up as it is when it is all prefix.
    qsizetype speakerOf(const QString &headerLine, qsizetype *prefixLength = nullptr,
                        LineRole role = LineRole::Unknown) const;

private:
    struct Key
    {
        QString prefix; // the header line's beginning, without "<dt>"
        QString name;
        qsizetype lines = 1;
    };
    qsizetype headerStart(QStringView prefix) const;
    void addKey(const QString &key, qsizetype lines);

    QString m_headerText;
    bool m_escapedText = false;
    bool m_headerHasWildcards = false;
    WildcardPattern m_header; // headerText
    QList<Key> m_keys;
    QHash<QString, qsizetype> m_index; // prefix -> speaker
};

// "HATSUGEN_01" … "HATSUGEN_99" for speakers 0 … 98, then "HATSUGEN_100", "HATSUGEN_101", …
QString speakerClassName(qsizetype speaker);

// Removes blanks (U+0020) at both ends, as speaker names and rule texts are compared.
QString trimBlanks(QStringView text);
