#pragma once

#include "settings/palette.h"

#include <QStringList>
#include <QTextEdit>

struct Settings;

// The preview pane (rTxt): a sample conversation drawn the way the chosen output will look,
// and the drop target for log files. The box inserts nothing itself: it hands the dropped
// files' local paths to whoever listens to filesDropped.
class PreviewBox : public QTextEdit
{
    Q_OBJECT

public:
    explicit PreviewBox(QWidget *parent = nullptr);

    // The six lines of the sample conversation, joined with CR LF, with `headerText` after
    // each of the three speakers' names.
    static QString buildSampleText(const QString &headerText);

    // Shows `sampleText`: plain black for the indented text output (changeType 0), otherwise
    // in the speakers' palette colours, the name lines coloured too and the utterances bold
    // as the settings say.
    void drawSample(const QString &sampleText, const Settings &settings, const Palette &palette);

signals:
    void filesDropped(const QStringList &paths);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
