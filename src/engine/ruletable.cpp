#include "ruletable.h"

#include "rules/messagerule.h"
#include "settings/inifile.h"
#include "settings/settings.h"

#include <limits>

namespace {

const QString RuleTableSection = QStringLiteral("MsgRule");
const QString MatchAllRecord = QStringLiteral("01<$>*<$>先頭にあったら");

} // namespace

int leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > std::numeric_limits<int>::max())
            return negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    return int(negative ? -value : value);
}

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
    entry.paletteNumber = leadingNumber(QStringView(record).first(first));
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
    // A count beyond the 99 keys the records can have would only read wrapped keys.
    const int count = qMin(
        leadingNumber(doc.value(RuleTableSection, QStringLiteral("Count"), QStringLiteral("0"))),
        MaxRules);
    for (int r = 1; r <= count; ++r) {
        if (auto entry = parseRecord(doc.value(RuleTableSection, ruleKey(r), MatchAllRecord)))
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
