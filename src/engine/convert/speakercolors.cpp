#include "engine/convert/speakercolors.h"

#include "engine/page/distinctcolors.h"
#include "engine/pagerun.h"
#include "engine/text/ruletable.h"
#include "engine/text/speakerkeys.h"
#include "settings/settings.h"

#include <QSet>
#include <algorithm>
#include <optional>

QStringList paletteCodes(const Settings &settings, const Palette &palette)
{
    const int colorCount = int(qMin<qsizetype>(qMax(settings.colorCount, 0), palette.size()));
    QStringList codes;
    for (int n = 1; n <= colorCount; ++n)
        codes.append(colorcode::checkedCode(palette[n - 1].code));
    return codes;
}

void rememberColors(const QList<SpeakerTableEntry> &offered, const SpeakerHandover &answered,
                    const std::function<bool(int)> &known, CarriedColors &carried)
{
    const auto numberOf = [&known](const SpeakerTableEntry &entry) {
        bool ok = false;
        const int number = entry.paletteIndex.trimmed().toInt(&ok);
        return ok && known(number) ? number : 0;
    };
    for (qsizetype k = 0; k < answered.table.size(); ++k) {
        if (const int number = numberOf(answered.table[k])) {
            const bool changed = number != numberOf(offered.value(k));
            carried.remember(answered.table[k].name, number, changed || answered.forRestOfRun);
        }
    }
}

namespace {

// What a page's speakers keep before the turn deals out the rest.
struct Kept
{
    explicit Kept(qsizetype count)
        : number(count)
        , ruled(count, false)
        , yields(count, false)
    {
    }
    QList<std::optional<int>> number; // per speaker: a number carried or a rule's
    QList<bool> ruled; // per speaker: the number is a rule's, for a name the run had not met
    QList<bool> yields; // per speaker: its carried number makes way for another speaker's
    QSet<int> carriedLooks, ruleLooks; // what the kept numbers look like
};

// A colour the user fixed stays: one chosen in the dialog, or a rule's (a carried one that a
// rule gave keeps its place as carried). A colour the run dealt itself stays unless a colour
// kept before it looks the same (`looksLike`), the earliest given first. It makes way only when
// the turn has a colour for every speaker of the page (`room()`); else the page repeats colours
// anyway, and a name keeps what it had.
template<class Room, class LooksLike>
Kept keepColors(const SpeakerKeys &speakerKeys, const RuleTable &rules, const RuleName &ruleName,
                const CarriedColors &carried, Room room, LooksLike looksLike)
{
    Kept kept(speakerKeys.count());
    QList<std::pair<const CarriedColors::Color *, qsizetype>> dealt; // by the run, not chosen
    for (qsizetype k = 0; k < speakerKeys.count(); ++k) {
        const QString name = speakerKeys.plainName(k);
        const CarriedColors::Color *c = carried.isEmpty() ? nullptr : carried.find(name);
        const auto ruled
            = rules.isEmpty() ? std::nullopt : rules.match(ruleName ? ruleName(name) : name);
        if (c && (c->chosen || ruled)) {
            kept.number[k] = c->number;
            kept.carriedLooks.insert(looksLike(c->number));
        } else if (c) {
            dealt.append({c, k});
        } else if (ruled) {
            kept.number[k] = *ruled;
            kept.ruled[k] = true;
            kept.ruleLooks.insert(looksLike(*ruled));
        }
    }
    std::sort(dealt.begin(), dealt.end(),
              [](const auto &a, const auto &b) { return a.first->since < b.first->since; });
    for (const auto &[c, k] : std::as_const(dealt)) {
        const int looks = looksLike(c->number);
        if ((kept.carriedLooks.contains(looks) || kept.ruleLooks.contains(looks)) && room()) {
            kept.yields[k] = true;
        } else {
            kept.number[k] = c->number;
            kept.carriedLooks.insert(looks);
        }
    }
    return kept;
}

} // namespace

SpeakerHandover assignColors(const SpeakerKeys &speakerKeys, const RuleTable &rules,
                             const Settings &settings, const QStringList &codes,
                             const CarriedColors &carried, const RuleName &ruleName)
{
    const auto code = [&](int number) {
        return number >= 1 && number <= codes.size() ? codes[number - 1] : QString();
    };
    const Kept kept = keepColors(
        speakerKeys, rules, ruleName, carried,
        [&] { return speakerKeys.count() <= settings.colorCount; }, [](int n) { return n; });
    const QSet<int> &held = kept.carriedLooks;
    const QSet<int> taken = held + kept.ruleLooks;
    // The turn moves on and wraps after the last entry; a rule's number may be any stored
    // number, up to the largest an int holds, so it is compared rather than incremented.
    const auto next = [&settings](int number) {
        return number >= settings.colorCount ? 1 : number + 1;
    };
    SpeakerHandover handover;
    int nextPaletteNumber = 1;
    for (qsizetype k = 0; k < speakerKeys.count(); ++k) {
        const QString name = speakerKeys.plainName(k);
        if (kept.number[k] && !kept.ruled[k]) {
            const QString color = code(*kept.number[k]);
            handover.speakerColors.append(color);
            handover.table.append({name, QString::number(*kept.number[k]), color.mid(1)});
            continue;
        }
        if (kept.ruled[k]) {
            nextPaletteNumber = *kept.number[k];
        } else if (kept.yields[k]) {
            // A colour no other speaker of the page holds; there is one, as the page has room.
            for (int steps = 0; taken.contains(nextPaletteNumber) && steps <= settings.colorCount;
                 ++steps)
                nextPaletteNumber = next(nextPaletteNumber);
        } else {
            // The turn passes over the carried colours, as long as the palette has others.
            for (int steps = 0; held.contains(nextPaletteNumber) && steps < held.size(); ++steps)
                nextPaletteNumber = next(nextPaletteNumber);
        }
        const QString color = code(nextPaletteNumber);
        handover.speakerColors.append(color);
        handover.table.append({name, QString::number(nextPaletteNumber), color.mid(1)});
        nextPaletteNumber = next(nextPaletteNumber);
    }
    return handover;
}

SpeakerHandover assignDistinctColors(const SpeakerKeys &speakerKeys, const RuleTable &rules,
                                     distinct::ColorTurn &turn, const CarriedColors &carried,
                                     const RuleName &ruleName)
{
    const Kept kept = keepColors(
        speakerKeys, rules, ruleName, carried, [&] { return speakerKeys.count() <= turn.size(); },
        [&turn](int n) { return turn.standsFor(n); });
    const QSet<int> held = kept.carriedLooks + kept.ruleLooks;
    SpeakerHandover handover;
    qsizetype position = 0;
    for (qsizetype k = 0; k < speakerKeys.count(); ++k) {
        int number = kept.number[k].value_or(0);
        // The turn starts over after its last number. Past as many numbers as are held, one is
        // free unless the kept colours hold them all; then one of them is given again.
        for (qsizetype tries = 0; !kept.number[k] && number == 0; ++tries) {
            int n = turn.number(position++);
            if (n == 0) {
                position = 0;
                n = turn.number(position++);
                if (n == 0)
                    break; // an empty palette, and no room for colours of its own
            }
            if (!held.contains(n) || tries > held.size())
                number = n;
        }
        const QString color = turn.code(number);
        handover.speakerColors.append(color);
        handover.table.append({speakerKeys.plainName(k), QString::number(number), color.mid(1)});
    }
    return handover;
}
