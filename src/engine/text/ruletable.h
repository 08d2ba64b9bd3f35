#pragma once

#include "engine/text/wildcard.h"

#include <QList>
#include <QString>
#include <optional>

struct Settings;

// The message rules as a run applies them: loaded once per HTML run from the settings file,
// each rule a palette entry number and a name pattern; the first rule whose pattern matches a
// speaker's name gives that speaker its colour.
class RuleTable
{
public:
    struct Entry
    {
        int paletteNumber = 0;
        QString pattern;
        WildcardPattern matcher;
    };

    // Empty unless msgRuleEnable is 1. Reads Count records of section MsgRule (at most 100,
    // the 100th from "rule_00"); a missing record is the match-all rule
    // "01<$>*<$>先頭にあったら". A colour field that is no number gives colour 0 (no entry).
    static RuleTable load(const Settings &settings);

    // The rule's pattern for its text and position word.
    static QString patternFor(const QString &text, const QString &position);
    // One stored record; nothing when it lacks its two separators.
    static std::optional<Entry> parseRecord(const QString &record);

    void append(Entry entry) { m_entries.append(std::move(entry)); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    qsizetype size() const { return m_entries.size(); }
    const Entry &at(qsizetype i) const { return m_entries[i]; }

    // The palette entry number of the first rule matching `name`, or nothing.
    std::optional<int> match(const QString &name) const;

private:
    QList<Entry> m_entries;
};
