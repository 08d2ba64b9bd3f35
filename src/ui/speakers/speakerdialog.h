#pragma once

#include "settings/palette.h"

class QWidget;
struct SpeakerHandover;

// Shows the speaker colour dialog (frmColorSet) modelessly and topmost for one log and
// processes events until handover.colorDialogCloses >= 1 (1: closed, 2: OK).
void runSpeakerColorDialog(const Palette &palette, SpeakerHandover &handover, QWidget *parent);
