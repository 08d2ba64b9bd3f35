#pragma once

#include <QList>
#include <QString>

#include <optional>

// Message rules: "a speaker whose name has TEXT at POSITION gets palette colour N".
// Kept in section MsgRule of the settings file as Count and rule_01 … rule_99.

inline const QString RulePositionStart = QStringLiteral("先頭にあったら");
inline const QString RulePositionContains = QStringLiteral("含まれていたら");
inline const QString RulePositionEnd = QStringLiteral("最後にあったら");
inline const QString RuleSeparator = QStringLiteral("<$>");
inline constexpr int MaxRules = 99;

struct MessageRule
{
    int colorIndex = 0; // palette entry number, 1-based (0 when the stored field was no number)
    QString text;       // stored without leading and trailing blanks
    QString position;   // one of the three position words (others are kept as read)

    bool operator==(const MessageRule &) const = default;
};

using RuleList = QList<MessageRule>;

struct LoadedRules
{
    RuleList rules;
    int loadedRuleCount = 0; // records read; saveRules retires slots up to this number
    int storedCount = 0;     // the value of Count (0 when missing or not a number)
};

LoadedRules loadRules(const QString &iniPath);
// Writes Count and the records, and the marker into slots storedRules+1 … loadedRuleCount.
bool saveRules(const QString &iniPath, const RuleList &rules, int loadedRuleCount);

QString formatRuleRecord(const MessageRule &rule);
std::optional<MessageRule> parseRuleRecord(const QString &record);

enum class RuleRefusal { None, TooMany, SeparatorInText };
// Appends; gives the new rule's priority number (old count + 1), or the refusal.
struct AddRuleResult
{
    int number = 0;
    RuleRefusal refusal = RuleRefusal::None;
};
AddRuleResult addRule(RuleList &rules, const MessageRule &rule);
void replaceRule(RuleList &rules, int number, const MessageRule &rule);
void deleteRule(RuleList &rules, int number);
void moveRuleUp(RuleList &rules, int number);   // number >= 2
void moveRuleDown(RuleList &rules, int number); // number <= count - 1
bool isBlankRuleText(const QString &text);
// True when another rule (not `excludeNumber`, 0 for none) has the same trimmed text and
// the same position word.
bool findDuplicateRule(const RuleList &rules, const QString &text, const QString &position,
                       int excludeNumber = 0);
