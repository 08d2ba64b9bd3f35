#include "mainwindowhost.h"

#include "engine/appstate.h"
#include "ui/speakers/speakerdialog.h"

#include <QApplication>
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
    m_window.m_pBar->setRange(0, qMax(0, maximum));
    m_window.m_pBar->setValue(0);
}

void MainWindow::Host::setProgressValue(int value)
{
    m_window.m_pBar->setValue(value);
}

void MainWindow::Host::processEvents()
{
    QCoreApplication::processEvents();
}

void MainWindow::Host::showMessage(Icon icon, const QString &prompt, const QString &title,
                                   const QString &)
{
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
