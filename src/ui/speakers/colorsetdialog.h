#pragma once

#include "settings/palette.h"

#include <QCursor>
#include <QList>
#include <QWidget>

class ColorComboBox;
class QPushButton;
class QTableWidget;
class QTimer;
struct SpeakerHandover;

// frmColorSet: gives every speaker of the log being converted one palette colour. Works on the
// handover prepared by the HTML converter: writes each speaker's paletteIndex as the user
// chooses, and on OK the speakerColors; every way of closing adds 1 to colorDialogCloses (OK
// adds one more before closing), so the caller sees 1 for "closed" and 2 for "confirmed".
//
// A top-level window of its own, so that it stays usable while the main window is disabled
// during the run. It deletes itself when closed.
class ColorSetDialog : public QWidget
{
    Q_OBJECT

public:
    ColorSetDialog(const Palette &palette, SpeakerHandover &handover);
    ~ColorSetDialog() override;

    // Grid row whose colour is being chosen (0 = the header, none yet).
    int currentRow() const { return m_currentRow; }

signals:
    // Emitted once, when the dialog has added its closing count.
    void unloaded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fillGrid();
    void placeColorBox();
    void updatePointer(int gridY);
    void gridClicked(const QPoint &viewportPos);
    void colorChosen(int index);
    void timerTick();
    void okClicked();
    void restClicked();
    void unload();
    int topRow() const;
    int titleWidth() const; // the width that shows the whole title
    int validPaletteNumber(int speaker) const; // 1-based, 0 when not a palette entry

    Palette m_palette;
    SpeakerHandover &m_handover;
    QTableWidget *m_grid = nullptr;
    ColorComboBox *m_colorBox = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_rest = nullptr; // in a run of several logs, before its last
    QTimer *m_timer = nullptr;
    QList<QCursor> m_runCursors; // the application's pointers, taken away while open
    int m_currentRow = 0;
    int m_lastTopRow = 1;
    bool m_customPointer = false;
    bool m_unloaded = false;
};
