#pragma once

#include "engine/page/chatstats.h"

#include <QByteArray>

struct ModernPageInfo;

// Whether the modern page has a calendar: when its log tells dates. The head's link to it and
// the section go by this alone, so the link always has its target.
bool hasCalendar(const ModernPageInfo &info);

// The modern page's "カレンダー" section, after its utterances: a year to a fold (the latest one
// open), a month to a small grid of its days, each day with utterances a link to its heading
// ("#d20030712", ChatStats::dayAnchor) with its count. Only the days with utterances are links
// and only the months with any are drawn, so a long chat gives a calendar of its active days, not
// of every day. Plain links and folds: it works without the page's script and by keyboard.
void writeCalendarSection(const ChatStats &stats, const ModernPageInfo &info, QByteArray &out);
