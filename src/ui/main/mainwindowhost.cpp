#include "mainwindowhost.h"

#include "engine/appstate.h"
#include "ui/speakers/speakerdialog.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>

MainWindow::Host::Host(MainWindow &window)
    : m_window(window)
{
}

MainWindow::Host::~Host()
{
    setBusyCursor(false);
}

void MainWindow::Host::setStatusText(const QString &text)
{
    m_window.setStatusText(text);
}

void MainWindow::Host::progressInit(int maximum)
{
    if (m_report.active()) { // one bar over the whole run
        m_report.logSteps(maximum);
        m_window.m_pBar->setRange(0, RunReport::Scale);
        m_window.m_pBar->setValue(m_report.progress(0));
        return;
    }
    m_window.m_pBar->setRange(0, qMax(0, maximum));
    m_window.m_pBar->setValue(0);
}

void MainWindow::Host::setProgressValue(int value)
{
    m_window.m_pBar->setValue(m_report.active() ? m_report.progress(value) : value);
}

void MainWindow::Host::processEvents()
{
    QCoreApplication::processEvents();
}

void MainWindow::Host::showMessage(Icon icon, const QString &prompt, const QString &title,
                                   const QString &context)
{
    if (!context.isEmpty()) // a message about a log: it was not written
        m_report.failed(context, prompt);
    m_window.m_showMessage(&m_window, ui::messageBoxIcon(icon), prompt, title);
}

void MainWindow::Host::openSettingsDialog()
{
    m_window.openSettingsDialog();
}

void MainWindow::Host::runSpeakerColorDialog(SpeakerHandover &handover)
{
    ::runSpeakerColorDialog(m_window.m_state.palette, handover, &m_window);
}

void MainWindow::Host::beginProgressDisplay()
{
    m_window.beginProgressDisplay();
}

void MainWindow::Host::endProgressDisplay()
{
    m_window.endProgressDisplay();
}

void MainWindow::Host::setMainWindowVisible(bool visible)
{
    // A command-line start never shows the window, not even after a fast run.
    if (visible && m_window.m_state.settings.commandLineRun)
        return;
    m_window.setVisible(visible);
}

void MainWindow::Host::setBusyCursor(bool busy)
{
    if (busy == m_busyCursor)
        return;
    m_busyCursor = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWindow::Host::focusOffscreen()
{
    m_window.focusOffscreen();
}

void MainWindow::Host::selectionCleared()
{
    m_window.m_lblCnt->setText(QStringLiteral("0"));
    m_window.setExampleName(QString());
}

void MainWindow::Host::logStarting(int index, int count)
{
    if (index == 0) {
        QList<qint64> sizes;
        for (int i = 0; i < count; ++i)
            sizes.append(QFileInfo(m_window.m_state.selection.path(i)).size());
        m_report.begin(sizes);
        m_window.showRunReport(QString(), QString());
    }
    m_report.logStarting(index);
}

void MainWindow::Host::logWritten(const QString &logPath, const QString &outputPath)
{
    Q_UNUSED(logPath);
    m_report.written(outputPath);
}

void MainWindow::Host::textInUtf8(const QString &logPath, const QString &outputPath)
{
    Q_UNUSED(logPath);
    m_report.writtenInUtf8(outputPath);
}

void MainWindow::Host::runFinished()
{
    if (m_window.m_state.settings.commandLineRun)
        return;
    if (m_report.active())
        m_window.showRunReport(m_report.summary(), m_report.outputFolder());
    else if (!m_report.utf8Note().isEmpty())
        m_window.setStatusText(m_report.utf8Note());
}
