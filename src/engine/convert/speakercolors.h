#pragma once

#include "engine/speakerhandover.h"
#include "settings/palette.h"

#include <QHash>
#include <QString>
#include <QStringList>

struct PageRun;
struct Settings;
class RuleTable;
class SpeakerKeys;
namespace distinct {
class ColorTurn;
}

// The palette entries a run deals out: the first colorCount entries of the palette, checked once
// (the palette comes from the settings file).
QStringList paletteCodes(const Settings &settings, const Palette &palette);

// The speakers' first colours for the classic page: palette entries in turn, in speaker order,
// unless a rule fixes one; a rule's colour moves the turn on from there. A name whose colour was
// kept for the rest of the run (`carried`) keeps its entry, and the turn passes over the entries
// such names hold, as long as the palette has others.
SpeakerHandover assignColors(const SpeakerKeys &speakerKeys, const RuleTable &rules,
                             const Settings &settings, const QStringList &codes,
                             const QHash<QString, int> &carried);

// The speakers' first colours for the modern page, a colour of its own for every speaker as long
// as the turn has one: a name the run met in an earlier log (`carried`) keeps the number it had
// there, a rule's number stays; the others take the turn's numbers in order (distinctcolors.h),
// passing over those whose colours the fixed ones already show.
SpeakerHandover assignDistinctColors(const SpeakerKeys &speakerKeys, const RuleTable &rules,
                                     distinct::ColorTurn &turn, const QHash<QString, int> &carried);

// The numbers the dialog settled on, for the same names in later logs of the run.
void rememberColors(const SpeakerHandover &handover, distinct::ColorTurn &turn, PageRun &run);
