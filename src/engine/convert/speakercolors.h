#pragma once

#include "engine/speakerhandover.h"
#include "settings/palette.h"

#include <QString>
#include <QStringList>
#include <functional>

class CarriedColors;
struct Settings;
class RuleTable;
class SpeakerKeys;
namespace distinct {
class ColorTurn;
}

// The name a rule is matched against for a speaker's name; none: the name itself (a redacted
// run's rules meet the names its speakers had).
using RuleName = std::function<QString(const QString &)>;

// The palette entries a run deals out: the first colorCount entries of the palette, checked once
// (the palette comes from the settings file).
QStringList paletteCodes(const Settings &settings, const Palette &palette);

// The speakers' first colours for a style that deals the palette: its entries in turn, in speaker
// order, unless a rule fixes one; a rule's colour moves the turn on from there. A name whose colour
// was kept for the rest of the run (`carried`) keeps its entry, and the turn passes over the
// entries such names hold, as long as the palette has others. While the palette has an entry for
// every speaker of the page, an entry the run dealt itself is not shared (pagerun.h): its name
// takes one that no other speaker holds.
SpeakerHandover assignColors(const SpeakerKeys &speakerKeys, const RuleTable &rules,
                             const Settings &settings, const QStringList &codes,
                             const CarriedColors &carried, const RuleName &ruleName = {});

// The speakers' first colours for a style that deals distinct colours (pagewriter.h), a colour
// of its own for every speaker as long as the turn has one: a name the run met in an earlier log
// (`carried`) keeps the number it had there unless the run dealt it and another speaker holds
// the same colour (pagerun.h), a rule's number stays; the others take the turn's numbers in
// order (distinctcolors.h), passing over those whose colours the kept ones already show.
SpeakerHandover assignDistinctColors(const SpeakerKeys &speakerKeys, const RuleTable &rules,
                                     distinct::ColorTurn &turn, const CarriedColors &carried,
                                     const RuleName &ruleName = {});

// The numbers a log's speakers ended with (`answered`; those that name a colour, `known`), for
// the same names in the run's later logs: chosen where the dialog changed what it was
// `offered`, or all when it kept them for the rest of the run.
void rememberColors(const QList<SpeakerTableEntry> &offered, const SpeakerHandover &answered,
                    const std::function<bool(int)> &known, CarriedColors &carried);
