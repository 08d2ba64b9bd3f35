#include "engine/convert/speakercolors.h"

#include "engine/appstate.h"
#include "engine/text/ruletable.h"
#include "engine/text/speakerkeys.h"

#include <QSet>

void rememberColors(const SpeakerHandover &handover, const Settings &settings, PageRun &run)
{
    for (const SpeakerTableEntry &entry : handover.table) {
        if (const int number = entry.paletteNumber(settings.colorCount))
            run.paletteNumbers.insert(entry.name, number);
    }
}

SpeakerHandover assignColors(const SpeakerKeys &speakerKeys, const RuleTable &rules,
                             const Settings &settings, const Palette &palette,
                             const QHash<QString, int> &carried)
{
    const int colorCount = int(qMin<qsizetype>(qMax(settings.colorCount, 0), palette.size()));
    QStringList codes; // checked once: the palette comes from the settings file
    for (int n = 1; n <= colorCount; ++n)
        codes.append(colorcode::checkedCode(palette[n - 1].code));
    const auto code = [&](int number) {
        return number >= 1 && number <= colorCount ? codes[number - 1] : QString();
    };
    QSet<int> held;
    for (qsizetype k = 0; k < speakerKeys.count() && !carried.isEmpty(); ++k) {
        if (const auto it = carried.constFind(speakerKeys.plainName(k)); it != carried.cend())
            held.insert(*it);
    }
    // The turn moves on and wraps after the last entry; a rule's number may be any stored
    // number, up to the largest an int holds, so it is compared rather than incremented.
    const auto next = [&settings](int number) {
        return number >= settings.colorCount ? 1 : number + 1;
    };
    SpeakerHandover handover;
    int nextPaletteNumber = 1;
    for (qsizetype k = 0; k < speakerKeys.count(); ++k) {
        const QString name = speakerKeys.plainName(k);
        if (const auto it = carried.constFind(name); it != carried.cend()) {
            const QString color = code(*it);
            handover.speakerColors.append(color);
            handover.table.append({name, QString::number(*it), color.mid(1)});
            continue;
        }
        if (const auto ruled = rules.isEmpty() ? std::nullopt : rules.match(name)) {
            nextPaletteNumber = *ruled;
        } else {
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
