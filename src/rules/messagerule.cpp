#include "messagerule.h"

#include "codec/cp932.h"
#include "settings/inifile.h"
#include "settings/storednumber.h"

namespace {

// The last two characters of "00" followed by the decimal number.
QString twoDigitField(int n)
{
    const QString padded = QStringLiteral("00") + QString::number(n);
    return padded.right(2);
}

} // namespace

QString ruleKey(int number)
{
    return QStringLiteral("rule_") + twoDigitField(number);
}

QString formatRuleRecord(const MessageRule &rule)
{
    return twoDigitField(rule.colorIndex) + RuleSeparator + rule.text + RuleSeparator
        + rule.position;
}

std::optional<MessageRule> parseRuleRecord(const QString &record)
{
    if (record.isEmpty() || record.indexOf(RuleSeparator) != 2)
        return std::nullopt;
    MessageRule rule;
    rule.colorIndex = readStoredNumber<int>(record.left(2)).value_or(0);
    const QString rest = record.mid(2 + RuleSeparator.size());
    const qsizetype split = rest.indexOf(RuleSeparator);
    if (split < 0) {
        // No second separator: everything is text, and no position word.
        rule.text = rest;
    } else {
        rule.text = rest.left(split);
        rule.position = rest.mid(split + RuleSeparator.size());
    }
    return rule;
}

LoadedRules loadRules(const QString &iniPath)
{
    LoadedRules loaded;
    const IniDocument doc = IniDocument::load(iniPath);
    loaded.storedCount
        = readStoredNumber<int>(doc.value(RuleSection, RuleCountKey, QStringLiteral("0")))
              .value_or(0);
    const int count = std::min(loaded.storedCount, MaxRules);
    for (int n = 1; n <= count; ++n) {
        const std::optional<MessageRule> rule = parseRuleRecord(doc.value(RuleSection, ruleKey(n)));
        if (!rule)
            break; // the records from here on drop out of the list
        loaded.rules.append(*rule);
    }
    loaded.loadedRuleCount = int(loaded.rules.size());
    return loaded;
}

bool saveRules(const QString &iniPath, const RuleList &rules, int loadedRuleCount)
{
    if (rules.size() > MaxRules)
        return false;
    // A file that could not be read is never replaced (the save then fails).
    IniDocument doc = IniDocument::load(iniPath);
    doc.setValue(RuleSection, RuleCountKey, QString::number(rules.size()));
    for (int n = 1; n <= rules.size(); ++n)
        doc.setValue(RuleSection, ruleKey(n), formatRuleRecord(rules[n - 1]));
    const int retireUpTo = std::min(loadedRuleCount, MaxRules);
    for (int n = int(rules.size()) + 1; n <= retireUpTo; ++n)
        doc.setValue(RuleSection, ruleKey(n), RetiredKeyMarker);
    return doc.save(iniPath);
}

namespace {

RuleRefusal refusalFor(const MessageRule &rule)
{
    if (const RuleRefusal text = ruleTextRefusal(rule.text); text != RuleRefusal::None)
        return text;
    if (rule.colorIndex < 0 || rule.colorIndex > MaxRuleColorIndex)
        return RuleRefusal::ColorOutOfRange;
    return RuleRefusal::None;
}

MessageRule trimmed(MessageRule rule)
{
    rule.text = trimRuleText(rule.text);
    return rule;
}

bool validNumber(const RuleList &rules, int number)
{
    return number >= 1 && number <= rules.size();
}

} // namespace

RuleRefusal ruleTextRefusal(const QString &text)
{
    if (text.contains(RuleSeparator))
        return RuleRefusal::SeparatorInText;
    bool unstorable = false;
    const QByteArray bytes = cp932::encode(text, [&](char32_t, QByteArray &out) {
        unstorable = true;
        out.append('?');
    });
    if (unstorable)
        return RuleRefusal::UnstorableText;
    if (bytes.size() > MaxRuleTextBytes)
        return RuleRefusal::TextTooLong;
    return RuleRefusal::None;
}

AddRuleResult addRule(RuleList &rules, const MessageRule &rule)
{
    if (rules.size() >= MaxRules)
        return {0, RuleRefusal::TooMany};
    const MessageRule stored = trimmed(rule);
    if (const RuleRefusal refusal = refusalFor(stored); refusal != RuleRefusal::None)
        return {0, refusal};
    rules.append(stored);
    return {int(rules.size()), RuleRefusal::None};
}

RuleRefusal replaceRule(RuleList &rules, int number, const MessageRule &rule)
{
    const MessageRule stored = trimmed(rule);
    const RuleRefusal refusal = refusalFor(stored);
    if (refusal == RuleRefusal::None && validNumber(rules, number))
        rules[number - 1] = stored;
    return refusal;
}

void deleteRule(RuleList &rules, int number)
{
    if (validNumber(rules, number))
        rules.removeAt(number - 1);
}

void moveRuleUp(RuleList &rules, int number)
{
    if (number >= 2 && validNumber(rules, number))
        rules.swapItemsAt(number - 1, number - 2);
}

void moveRuleDown(RuleList &rules, int number)
{
    if (number >= 1 && number < rules.size())
        rules.swapItemsAt(number - 1, number);
}

QString trimRuleText(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

bool isBlankRuleText(const QString &text)
{
    return trimRuleText(text).isEmpty();
}

bool findDuplicateRule(const RuleList &rules, const QString &text, const QString &position,
                       int excludeNumber)
{
    const QString wanted = trimRuleText(text);
    for (int n = 1; n <= rules.size(); ++n) {
        const MessageRule &rule = rules[n - 1];
        if (n != excludeNumber && trimRuleText(rule.text) == wanted && rule.position == position)
            return true;
    }
    return false;
}
