#pragma once

#include "engine/speakerhandover.h"
#include "settings/palette.h"

#include <QHash>
#include <QString>

struct PageRun;
struct Settings;
class RuleTable;
class SpeakerKeys;

// The speakers' first colours: palette entries in turn, in speaker order, unless a rule fixes
// one; a rule's colour moves the turn on from there. A name the run met in an earlier log
// (`carried`, modern pages only) keeps the entry it had there, and the turn passes over the
// entries such names hold, as long as the palette has others.
SpeakerHandover assignColors(const SpeakerKeys &speakerKeys, const RuleTable &rules,
                             const Settings &settings, const Palette &palette,
                             const QHash<QString, int> &carried);

// The entries the dialog settled on, for the same names in later logs of the run.
void rememberColors(const SpeakerHandover &handover, const Settings &settings, PageRun &run);
