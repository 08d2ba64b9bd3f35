#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the HTML converter hands to the speaker colour dialog for one log, and gets back.
struct SpeakerTableEntry
{
    QString name; // the speaker's name
    QString paletteIndex; // 1-based palette entry number, as decimal text
    QString colorCode; // the speaker's colour: six hexadecimal digits, no "#"
};

struct SpeakerHandover
{
    QList<SpeakerTableEntry> table; // one entry per speaker, in speaker order
    QStringList speakerColors; // one "#RRGGBB" per speaker; rewritten on OK
    int colorDialogCloses = 0; // 1 = closed without OK, 2 = confirmed
};
