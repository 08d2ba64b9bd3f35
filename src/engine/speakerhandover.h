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

    // The palette entry paletteIndex names, when it is one of a palette of `entries` entries;
    // 0 when it names none (any text, as the dialog may leave it).
    int paletteNumber(qsizetype entries) const
    {
        bool ok = false;
        const int number = paletteIndex.trimmed().toInt(&ok);
        return ok && number >= 1 && number <= entries ? number : 0;
    }
};

struct SpeakerHandover
{
    QList<SpeakerTableEntry> table; // one entry per speaker, in speaker order
    QStringList speakerColors; // one "#RRGGBB" per speaker; rewritten on OK
    int colorDialogCloses = 0; // 1 = closed without OK, 2 = confirmed

    // The log the dialog is for: its file name, its number (from 1) and how many logs the run
    // has (1 for a run of one).
    QString logName;
    int logNumber = 1;
    int logCount = 1;
    // Confirmed for the rest of the run: its remaining logs are converted without the dialog,
    // each name keeping the colour chosen for it here.
    bool forRestOfRun = false;
};
