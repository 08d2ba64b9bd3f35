#pragma once

#include "settings/palette.h"

#include <QString>
#include <QStringList>

struct Settings;

// The page's look as the settings choose it.
struct PageStyle
{
    QString bodyColor;
    QString narColor;
    bool boldMessages = false; // every speaker's text in bold
    bool jsBgColor = false; // background swatches in the legend
    bool jsForeColor = false; // colour drop-downs and CChange
    bool jsFontBold = false; // bold check boxes and CBold
    QStringList paletteCodes; // palette entries 1 … colorCount

    static PageStyle fromSettings(const Settings &settings, const Palette &palette);
    // No script needs the speakers' element ids.
    bool needsIds() const { return jsForeColor || jsFontBold; }
};

// What the page head and legend show about the speakers, one entry per speaker in speaker
// order. legendLabels holds "本文", "背景色", "ナレーション" and then the speakers' names.
struct PageSpeakers
{
    QStringList titleNames;
    QStringList speakerColors; // "#RRGGBB", or empty when the palette had no such entry
    QStringList speakerClasses; // "HATSUGEN_01" …
    QStringList legendLabels;
};

// "本文", "背景色", "ナレーション" followed by `names`.
QStringList makeLegendLabels(const QStringList &names);

// The log's file name up to its first "." (the whole name when it has none).
QString pageBaseName(const QString &logPath);

// The page from "<html>" up to and including "<DL>": head, style sheet, scripts and legend.
QString buildPageHead(const QString &baseName, const PageSpeakers &speakers,
                      const PageStyle &style);

// The content of a legend colour cell: the code in its own colour, or a drop-down of the body,
// narration and palette colours that recolours the class through CChange.
QString colorPickerHtml(const QString &className, const QString &currentColor,
                        const PageStyle &style);
