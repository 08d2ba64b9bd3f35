#pragma once

#include "settings/settings.h"

#include <QList>
#include <QString>
#include <optional>

// Message rules: "a speaker whose name has TEXT at POSITION gets palette colour N".
// Kept in section MsgRule of the settings file as Count and rule_01 … rule_99.

inline const QString RuleSection = QString::fromLatin1(RuleSectionName);
inline const QString RuleCountKey = QStringLiteral("Count");
inline const QString RulePositionStart = QStringLiteral("先頭にあったら");
inline const QString RulePositionContains = QStringLiteral("含まれていたら");
inline const QString RulePositionEnd = QStringLiteral("最後にあったら");
inline const QString RuleSeparator = QStringLiteral("<$>");
// Keys and the colour field have room for two digits only.
inline constexpr int MaxRules = 99;
inline constexpr int MaxRuleColorIndex = 99;
// A value is read back whole up to 1023 bytes; the colour field, both separators and the
// longest position word leave this many bytes (code page 932) for the text.
inline constexpr int MaxRuleTextBytes = 1001;

struct MessageRule
{
    int colorIndex = 0; // palette entry number, 1-based (0 when the stored field was no number)
    QString text; // stored without leading and trailing blanks
    QString position; // one of the three position words (others are kept as read)

    bool operator==(const MessageRule &) const = default;
};

using RuleList = QList<MessageRule>;

struct LoadedRules
{
    RuleList rules;
    int loadedRuleCount = 0; // records read; saveRules retires slots up to this number
    int storedCount = 0; // the value of Count (0 when missing or not a number)
};

// Reads Count and the records up to the first empty or damaged one. A Count above 99 reads
// 99 records at most.
LoadedRules loadRules(const QString &iniPath);
// Writes Count and the records, and the marker into slots rules.size()+1 … loadedRuleCount,
// in one atomic write. Refuses (writes nothing, returns false) a list of more than 99 rules;
// returns false when the file could not be written.
bool saveRules(const QString &iniPath, const RuleList &rules, int loadedRuleCount);

// "rule_" + the number in two digits.
QString ruleKey(int number);
QString formatRuleRecord(const MessageRule &rule);
// No value when the record is empty or its colour field is not exactly two characters long.
std::optional<MessageRule> parseRuleRecord(const QString &record);

enum class RuleRefusal {
    None,
    TooMany, // the list already holds 99 rules
    SeparatorInText, // "<$>" in the text could not be read back
    ColorOutOfRange, // a colour index that does not fit the two-digit field
    TextTooLong, // the record would be cut when it is read back
    UnstorableText, // a character the settings file's code page cannot hold
};

// Whether a (trimmed) rule text can be stored and read back as it is.
RuleRefusal ruleTextRefusal(const QString &text);

// Appends (with the text trimmed); gives the new rule's priority number (old count + 1), or
// the refusal with number 0 and the list unchanged.
struct AddRuleResult
{
    int number = 0;
    RuleRefusal refusal = RuleRefusal::None;
};
AddRuleResult addRule(RuleList &rules, const MessageRule &rule);
// Puts the rule (text trimmed) at priority `number`; a refusal or a number outside the list
// leaves the list unchanged.
RuleRefusal replaceRule(RuleList &rules, int number, const MessageRule &rule);
// Numbers outside the list (or, for the moves, at its edge) leave the list unchanged.
void deleteRule(RuleList &rules, int number);
void moveRuleUp(RuleList &rules, int number); // number >= 2
void moveRuleDown(RuleList &rules, int number); // number <= count - 1

// Leading and trailing half-width blanks removed.
QString trimRuleText(const QString &text);
bool isBlankRuleText(const QString &text);
// True when another rule (not `excludeNumber`, 0 for none) has the same trimmed text and
// the same position word.
bool findDuplicateRule(const RuleList &rules, const QString &text, const QString &position,
                       int excludeNumber = 0);
