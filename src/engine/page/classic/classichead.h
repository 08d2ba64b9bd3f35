#pragma once

#include "engine/page/htmltext.h"
#include "settings/palette.h"

#include <QString>
#include <QStringList>
#include <functional>

struct Settings;

// The classic page's look as the settings choose it. Every colour is a checked "#RRGGBB": codes
// come from a file the user (or anyone) may have edited, and go into the page's markup.
struct ClassicLook
{
    QString bodyColor;
    QString narColor;
    bool boldMessages = false; // every speaker's text in bold
    bool jsBgColor = false; // background swatches in the legend
    bool jsForeColor = false; // colour drop-downs and CChange
    bool jsFontBold = false; // bold check boxes and CBold
    QStringList paletteCodes; // palette entries 1 … colorCount
    // The zone a chat export's times are shown in (PageFacts::timeZone), said under the legend.
    QString timeZone;
    // Names and personal details were replaced: said at the top of the page.
    bool redacted = false;

    // The speakers' font elements carry ids (for the scripts) unless both script choices
    // are exactly "いらない"; any other word keeps them.
    bool speakerIds = true;

    static ClassicLook fromSettings(const Settings &settings, const Palette &palette);
    // The page carries a script (and the style of its form controls).
    bool hasScript() const { return jsForeColor || jsFontBold; }
};

// What the classic page's head and legend show about the speakers, one entry per speaker in speaker
// order. legendLabels holds "本文", "背景色", "ナレーション" and then the speakers' names.
struct ClassicSpeakers
{
    QStringList titleNames;
    QStringList speakerColors; // checked "#RRGGBB", or empty when the palette had no such entry
    QStringList speakerClasses; // "HATSUGEN_01" …
    QStringList legendLabels;
};

// "本文", "背景色", "ナレーション" followed by `names`.
QStringList makeLegendLabels(const QStringList &names);

// The classic page from "<html>" up to and including "<DL>": head, style sheet, scripts and legend,
// handed out in pieces of bounded size, so that a page of many speakers (each legend row can
// carry the whole palette) never sits in memory whole. A UTF-8 page says so in the first
// element of its head.
void writeClassicHead(const QString &baseName, const ClassicSpeakers &speakers,
                      const ClassicLook &look, const PageSink &sink, bool utf8Page = false);

// The content of a legend colour cell: the code in its own colour, or a drop-down of the body,
// narration and palette colours that recolours the class through CChange.
QString colorPickerHtml(const QString &className, const QString &currentColor,
                        const ClassicLook &look);
