#include "engine/convert/speakercolors.h"

#include "engine/appstate.h"
#include "engine/page/distinctcolors.h"
#include "engine/text/ruletable.h"
#include "engine/text/speakerkeys.h"

#include <QSet>
#include <optional>

QStringList paletteCodes(const Settings &settings, const Palette &palette)
{
    const int colorCount = int(qMin<qsizetype>(qMax(settings.colorCount, 0), palette.size()));
    QStringList codes;
    for (int n = 1; n <= colorCount; ++n)
        codes.append(colorcode::checkedCode(palette[n - 1].code));
    return codes;
}

void rememberColors(const SpeakerHandover &handover, distinct::ColorTurn &turn, PageRun &run)
{
    for (const SpeakerTableEntry &entry : handover.table) {
        bool ok = false;
        const int number = entry.paletteIndex.trimmed().toInt(&ok);
        if (ok && !turn.code(number).isEmpty())
            run.paletteNumbers.insert(entry.name, number);
    }
}

SpeakerHandover assignColors(const SpeakerKeys &speakerKeys, const RuleTable &rules,
                             const Settings &settings, const QStringList &codes,
                             const QHash<QString, int> &carried)
{
    const auto code = [&](int number) {
        return number >= 1 && number <= codes.size() ? codes[number - 1] : QString();
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

SpeakerHandover assignDistinctColors(const SpeakerKeys &speakerKeys, const RuleTable &rules,
                                     distinct::ColorTurn &turn, const QHash<QString, int> &carried)
{
    // The speakers whose number is decided, and the colours they hold.
    QList<std::optional<int>> fixed(speakerKeys.count());
    QSet<int> held;
    for (qsizetype k = 0; k < speakerKeys.count(); ++k) {
        const QString name = speakerKeys.plainName(k);
        if (const auto it = carried.constFind(name); it != carried.cend())
            fixed[k] = *it;
        else if (!rules.isEmpty())
            fixed[k] = rules.match(name);
        if (fixed[k])
            held.insert(turn.standsFor(*fixed[k]));
    }
    SpeakerHandover handover;
    qsizetype position = 0;
    for (qsizetype k = 0; k < speakerKeys.count(); ++k) {
        int number = fixed[k].value_or(0);
        // The turn starts over after its last number. Past as many numbers as are held, one is
        // free unless the fixed colours hold them all; then one of them is given again.
        for (qsizetype tries = 0; !fixed[k] && number == 0; ++tries) {
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
