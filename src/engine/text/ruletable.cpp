#include "engine/text/ruletable.h"

#include "rules/messagerule.h"
#include "settings/inifile.h"
#include "settings/settings.h"
#include "settings/storednumber.h"

namespace {

const QString MatchAllRecord = QStringLiteral("01<$>*<$>先頭にあったら");

} // namespace

QString RuleTable::patternFor(const QString &text, const QString &position)
{
    if (position == RulePositionStart)
        return text + QLatin1Char('*');
    if (position == RulePositionContains)
        return QLatin1Char('*') + text + QLatin1Char('*');
    if (position == RulePositionEnd)
        return QLatin1Char('*') + text;
    return text;
}

std::optional<RuleTable::Entry> RuleTable::parseRecord(const QString &record)
{
    const qsizetype first = record.indexOf(RuleSeparator);
    if (first < 0)
        return std::nullopt;
    const qsizetype textStart = first + RuleSeparator.size();
    const qsizetype second = record.indexOf(RuleSeparator, textStart);
    if (second < 0)
        return std::nullopt;
    const QString text = record.mid(textStart, second - textStart);
    const QString position = record.mid(second + RuleSeparator.size());
    Entry entry;
    entry.paletteNumber = readStoredNumber<int>(QStringView(record).first(first)).value_or(0);
    entry.pattern = patternFor(text, position);
    entry.matcher = WildcardPattern(entry.pattern);
    return entry;
}

RuleTable RuleTable::load(const Settings &settings)
{
    RuleTable table;
    if (settings.msgRuleEnable != 1)
        return table;
    // One read of the file serves the count and every record, with readIniValue's rules.
    const IniDocument doc = IniDocument::load(settings.iniPath);
    // The 100th rule reads key "rule_00"; a count beyond that would only read wrapped keys
    // again (and a huge one would read for ever).
    const int count
        = qMin(readStoredNumber<int>(doc.value(RuleSection, RuleCountKey, QStringLiteral("0")))
                   .value_or(0),
               MaxRules + 1);
    for (int r = 1; r <= count; ++r) {
        if (auto entry = parseRecord(doc.value(RuleSection, ruleKey(r), MatchAllRecord)))
            table.append(std::move(*entry));
    }
    return table;
}

std::optional<int> RuleTable::match(const QString &name) const
{
    for (const Entry &entry : m_entries) {
        if (entry.matcher.matches(name))
            return entry.paletteNumber;
    }
    return std::nullopt;
}
