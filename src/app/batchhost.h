#pragma once

#include "engine/runhost.h"
#include "settings/palette.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QString>

class QTextStream;

// The batch run's window: message boxes become lines on standard error, nothing opens, and
// the speaker colour dialog is answered as if OK was pressed on the initial colours.
class BatchHost : public RunHost
{
    Q_DECLARE_TR_FUNCTIONS(BatchHost)

public:
    BatchHost(QTextStream &err, bool showProgress, const Palette &palette);

    // The run goes on with log `number` (1-based) of `count`.
    void startLog(int number, int count, const QString &path);
    // Clears the progress line.
    void finish();

    void setStatusText(const QString &) override { }
    void progressInit(int maximum) override;
    void setProgressValue(int value) override;
    void processEvents() override { }
    void showMessage(Icon icon, const QString &prompt, const QString &title,
                     const QString &context) override;
    void openSettingsDialog() override { }
    void runSpeakerColorDialog(SpeakerHandover &handover) override;
    void beginProgressDisplay() override { }
    void endProgressDisplay() override { }
    void setMainWindowVisible(bool) override { }
    void setBusyCursor(bool) override { }
    void focusOffscreen() override { }
    void selectionCleared() override { }
    void logNotRead(const QString &path, const QString &reason) override;
    void outputNotWritten(const QString &logPath, const QString &outputPath,
                          const QString &reason) override;
    void noSpeakers(const QString &logPath, bool readFailed, const LogFormat &format) override;
    void textInUtf8(const QString &logPath, const QString &outputPath) override;
    void logWritten(const QString &, const QString &) override { ++m_written; }
    // How many outputs were written so far.
    int written() const { return m_written; }

    // Messages and the progress line show `path` as `name` (standard input's temporary copy).
    void showAs(const QString &path, const QString &name) { m_shownNames.insert(path, name); }

    // Why a file could not be read or written, in the user's language.
    static QString reasonText(const QString &reason);
    // What a log was read as, when it is not an XML history nor an empty file:
    // "(UTF-8, line ends LF)", "(LINE talk history, UTF-8, …)" as the format names it; empty
    // otherwise.
    static QString formatText(const LogFormat &format);

    // A line of its own, above the progress line; control characters and undecodable bytes
    // of names are shown escaped.
    void printLine(const QString &context, const QString &text);

    // The run's last line: "2 of 3 logs written".
    static QString summaryText(int written, int count);

private:
    int m_written = 0;
    QString messageText(const QString &prompt) const;
    void drawProgress(bool force);
    void clearProgress();
    QString shown(const QString &path) const { return m_shownNames.value(path, path); }

    QTextStream &m_err;
    bool m_showProgress;
    const Palette &m_palette;
    int m_number = 0;
    int m_count = 0;
    QString m_name;
    int m_maximum = 0;
    int m_value = 0;
    bool m_lineShown = false;
    QElapsedTimer m_sinceDraw;
    QHash<QString, QString> m_shownNames;
};
