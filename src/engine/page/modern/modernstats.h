#pragma once

#include "engine/page/chatstats.h"

#include <QByteArray>

struct ModernPageInfo;

// The modern page's "統計" section, after its utterances: utterances per speaker, per month,
// by hour and weekday, the first and the last, and the longest run of days. The charts are
// inline SVG drawn here, in the speakers' colours (their classes) and the theme's, and each
// carries its figures as text too (a table, or a title per mark), so that the section reads
// without the page's script, in print and to a screen reader. A log without dates gets the
// speakers' counts only.
void writeStatsSection(const ChatStats &stats, const ModernPageInfo &info, QByteArray &out);
