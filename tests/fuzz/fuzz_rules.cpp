// Message rule records: whatever a record holds, a rule read from it is written back as a
// record that reads as the same rule; a rule the list accepts survives formatting and parsing;
// the list operations keep the list's rules, only reordered, and never exceed 99.
//
// Input: the record text (code page 932); its bytes also drive a few list operations.
#include "codec/cp932.h"
#include "rules/messagerule.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

QStringList sortedTexts(const RuleList &rules)
{
    QStringList texts;
    for (const MessageRule &r : rules)
        texts.append(QString::number(r.colorIndex) + u'|' + r.text + u'|' + r.position);
    texts.sort();
    return texts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString record
        = cp932::decode(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));

    if (const auto rule = parseRuleRecord(record)) {
        const QString again = formatRuleRecord(*rule);
        const auto reread = parseRuleRecord(again);
        check(reread.has_value() && *reread == *rule);
        check(formatRuleRecord(*reread) == again);
    }

    // A rule built from the input: what addRule accepts reads back unchanged.
    static const QString positions[] = {RulePositionStart, RulePositionContains, RulePositionEnd};
    MessageRule candidate;
    candidate.colorIndex = size ? int(data[0]) - 20 : 1;
    candidate.text = record;
    candidate.position = positions[size % 3];
    RuleList rules;
    const AddRuleResult added = addRule(rules, candidate);
    if (added.refusal == RuleRefusal::None) {
        check(added.number == 1 && rules.size() == 1);
        check(rules[0].text == trimRuleText(record));
        const auto reread = parseRuleRecord(formatRuleRecord(rules[0]));
        check(reread.has_value() && *reread == rules[0]);
    } else {
        check(added.number == 0 && rules.isEmpty());
        check(added.refusal != RuleRefusal::SeparatorInText || record.contains(RuleSeparator));
    }

    // List operations driven by the bytes: never more than 99 rules, and moves only reorder.
    for (size_t i = 0; i < size && i < 400; ++i) {
        const int op = data[i] & 7, number = int(data[i] >> 3) - 1;
        const QStringList before = sortedTexts(rules);
        const qsizetype count = rules.size();
        MessageRule r {1 + int(i % 99), QString::number(i), positions[i % 3]};
        switch (op) {
        case 0:
        case 1:
        case 2: {
            const AddRuleResult a = addRule(rules, r);
            check((a.refusal == RuleRefusal::None) == (count < MaxRules));
            check(rules.size() == count + (a.refusal == RuleRefusal::None ? 1 : 0));
            break;
        }
        case 3:
            moveRuleUp(rules, number);
            check(sortedTexts(rules) == before);
            break;
        case 4:
            moveRuleDown(rules, number);
            check(sortedTexts(rules) == before);
            break;
        case 5:
            deleteRule(rules, number);
            check(rules.size() == count - (number >= 1 && number <= count ? 1 : 0));
            break;
        default:
            replaceRule(rules, number, r);
            check(rules.size() == count);
            if (number >= 1 && number <= count)
                check(rules[number - 1] == r);
            break;
        }
        check(rules.size() <= MaxRules);
        const bool duplicate = findDuplicateRule(rules, r.text, r.position);
        check(duplicate == std::any_of(rules.begin(), rules.end(), [&](const MessageRule &x) {
                  return x.text == r.text && x.position == r.position;
              }));
    }
    return 0;
}
