#include "colorchart.h"

#include "settings/palette.h"
#include "ui/uiutil.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>

namespace {

constexpr int CellCount = 216;
constexpr int Columns = 12;

QColor cellColor(int k)
{
    const int row = k / Columns;
    const int column = k % Columns;
    return QColor((row / 6 + 3 * (column / 6)) * 0x33, (row % 6) * 0x33, (column % 6) * 0x33);
}

} // namespace

ColorChart::ColorChart(QWidget *settingsDialog)
    : QWidget(settingsDialog, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmChart"));
    setWindowTitle(QStringLiteral("カラーチャート - クリックしてね♪"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(ui::twips(2880), ui::twips(4335));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    for (int k = 0; k < CellCount; ++k) {
        auto *cell = new QLabel(this);
        cell->setObjectName(QStringLiteral("lblColor_%1").arg(k));
        cell->setAutoFillBackground(true);
        QPalette cellPal = cell->palette();
        cellPal.setColor(QPalette::Window, cellColor(k));
        cellPal.setColor(QPalette::WindowText, Qt::black);
        cell->setPalette(cellPal);
        // 17-pixel cells at a 16-pixel pitch: neighbours overlap by one pixel.
        cell->setGeometry(ui::twips((k % Columns) * 240), ui::twips((k / Columns) * 240),
                          ui::twips(255), ui::twips(255));
        const QString code = cellCode(k);
        cell->setToolTip(code);
        cell->setProperty("tag", code);
        cell->installEventFilter(this);
        lblColor[k] = cell;
    }
}

QString ColorChart::cellCode(int k)
{
    const QColor c = cellColor(k);
    return u'#' + colorcode::componentToHex(c.red()) + colorcode::componentToHex(c.green())
        + colorcode::componentToHex(c.blue());
}

bool ColorChart::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *cell = qobject_cast<QLabel *>(watched);
        const auto *release = static_cast<QMouseEvent *>(event);
        // A click: released over the cell it was pressed on.
        if (cell && release->button() == Qt::LeftButton
            && cell->rect().contains(release->position().toPoint())) {
            for (int k = 0; k < CellCount; ++k)
                if (lblColor[k] == cell)
                    lblColor_Click(k);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ColorChart::lblColor_Click(int k)
{
    if (!m_pickedCode.isEmpty())
        lblColor[m_pickedIndex]->setFrameStyle(QFrame::NoFrame);
    m_pickedIndex = k;
    m_pickedCode = lblColor[k]->property("tag").toString();
    emit picked(m_pickedCode);
    lblColor[k]->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblColor[k]->setLineWidth(1);
    lblColor[k]->raise(); // the border shows over the overlapping neighbours
}

void ColorChart::closeEvent(QCloseEvent *event)
{
    emit closed();
    QWidget::closeEvent(event);
}
