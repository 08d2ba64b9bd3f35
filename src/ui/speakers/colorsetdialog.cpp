#include "colorsetdialog.h"

#include "engine/speakerhandover.h"
#include "gridpointer.h"
#include "speakergriddelegate.h"
#include "ui/rules/colorcombobox.h"
#include "ui/uiutil.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>

namespace {

constexpr int kRowHeight = 300; // twips, header row included
constexpr int kColorColumn = 2500; // twips, width of column 1
constexpr int kPointerStep = 350; // twips, the custom-pointer band is measured in these
constexpr int kTimerInterval = 300; // ms

// The resizing rules are measured on the outer window of a classic sizable frame (4-pixel
// borders, 26-pixel caption); Qt gives the client size, so the frame is added back first.
constexpr int kBorder = 4;
constexpr int kCaption = 26;
constexpr int kFrameWidth = 2 * kBorder;
constexpr int kFrameHeight = 2 * kBorder + kCaption;

// The icon and the buttons of a title bar, and its margins.
constexpr int kTitleBarExtras = 160;

constexpr int kOkWidth = 45;
constexpr int kOkHeight = 25;
// The strip under the grid for "残りのログもこの色で変換", in a run of several logs.
constexpr int kRestHeight = 33;

QColor speakerColor(const SpeakerTableEntry &entry)
{
    return ui::colorFromCode(entry.colorCode);
}

} // namespace

ColorSetDialog::ColorSetDialog(const Palette &palette, SpeakerHandover &handover)
    : QWidget(nullptr, Qt::Dialog)
    , m_palette(palette)
    , m_handover(handover)
{
    setObjectName(QStringLiteral("frmColorSet"));
    setWindowTitle(QStringLiteral("個別に文字色を選択"));
    setAttribute(Qt::WA_DeleteOnClose);

    // The run shows a busy pointer; the user works here now. It comes back when the dialog
    // closes, so the run's own pointer bookkeeping stays balanced.
    while (const QCursor *cursor = QApplication::overrideCursor()) {
        m_runCursors.prepend(*cursor);
        QApplication::restoreOverrideCursor();
    }

    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("fgName"));
    m_colorBox = new ColorComboBox(this);
    m_colorBox->setObjectName(QStringLiteral("cboColor"));
    QFont boxFont = m_colorBox->font();
    boxFont.setFamily(QStringLiteral("ＭＳ ゴシック"));
    m_colorBox->setFont(boxFont);
    m_colorBox->hide();
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("cmdOk"));
    m_ok->setToolTip(QStringLiteral("設定っ"));
    // In a run of several logs the dialog names its log, and offers to convert the logs still
    // to come with these colours, without asking again. The name goes first: a title bar cuts
    // the end of a long title (a LINE log names its chat partner in the middle of its name).
    if (m_handover.logCount > 1)
        setWindowTitle(QStringLiteral("%1（%2 / %3） - %4")
                           .arg(m_handover.logName, QString::number(m_handover.logNumber),
                                QString::number(m_handover.logCount), windowTitle()));
    if (m_handover.logNumber < m_handover.logCount) {
        m_rest = new QPushButton(QStringLiteral("残りのログもこの色で変換"), this);
        m_rest->setObjectName(QStringLiteral("cmdRest"));
        connect(m_rest, &QPushButton::clicked, this, &ColorSetDialog::restClicked);
    }
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(kTimerInterval);

    m_colorBox->fillFromPalette(m_palette);
    m_colorBox->setCurrentIndex(0);

    resize(qMax(420, titleWidth()), m_rest ? 280 + kRestHeight : 280);
    setMinimumSize(240, 140);
    fillGrid();
    placeColorBox();
    m_colorBox->raise();

    connect(m_colorBox, &QComboBox::activated, this, &ColorSetDialog::colorChosen);
    connect(m_ok, &QPushButton::clicked, this, &ColorSetDialog::okClicked);
    connect(m_timer, &QTimer::timeout, this, &ColorSetDialog::timerTick);
    // The box would float over the wrong row once the grid scrolls; the timer catches any
    // scrolling, the scroll bar signal hides it at once.
    connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, m_colorBox, &QWidget::hide);
    m_timer->start();

    ui::setTopmost(this, true);
    ui::pressButtonsOnReturn(this);
    m_currentRow = 0;
}

int ColorSetDialog::titleWidth() const
{
    // The title's text, with room for the title bar's icon and buttons; within the screen.
    const int wanted = fontMetrics().horizontalAdvance(windowTitle()) + kTitleBarExtras;
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? qMin(wanted, screen->availableGeometry().width() - kFrameWidth) : wanted;
}

ColorSetDialog::~ColorSetDialog()
{
    unload();
}

void ColorSetDialog::fillGrid()
{
    const int speakers = int(m_handover.table.size());
    m_grid->setUpdatesEnabled(false);
    m_grid->setColumnCount(2);
    m_grid->setRowCount(speakers); // grid row r (1-based, under the header) is table row r - 1
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_grid->setItemDelegate(new SpeakerGridDelegate(m_grid));
    m_grid->setTabKeyNavigation(false); // Tab goes on to OK; the arrows move between cells
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_grid->setWordWrap(false);
    m_grid->setCornerButtonEnabled(false);
    m_grid->viewport()->setMouseTracking(true);
    m_grid->setStyleSheet(QStringLiteral("QTableView { gridline-color: rgb(192, 192, 192);"
                                         " selection-background-color: rgb(0, 192, 0); }"));

    QHeaderView *rows = m_grid->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(ui::twips(kRowHeight));

    // The fixed top row: green, white 13-point text, centred.
    QHeaderView *header = m_grid->horizontalHeader();
    header->setObjectName(QStringLiteral("fgNameHeader"));
    header->setSectionsClickable(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setMinimumSectionSize(1);
    header->setFixedHeight(ui::twips(kRowHeight));
    header->setDefaultAlignment(Qt::AlignCenter);
    QFont headerFont = header->font();
    headerFont.setPointSize(13);
    header->setFont(headerFont);
    header->setStyleSheet(QStringLiteral(
        "QHeaderView::section { background-color: rgb(0, 128, 0); color: white; padding: 0px;"
        " border: none; border-right: 1px solid rgb(192, 192, 192);"
        " border-bottom: 1px solid rgb(192, 192, 192); }"));
    header->viewport()->setMouseTracking(true);
    m_grid->setHorizontalHeaderLabels({QStringLiteral("おなまえ"), QStringLiteral("文字色")});
    m_grid->setColumnWidth(1, ui::twips(kColorColumn));
    m_grid->setColumnWidth(0, qMax(0, m_grid->width() - ui::twips(kColorColumn)));

    for (int i = 0; i < speakers; ++i) {
        const SpeakerTableEntry &entry = m_handover.table[i];
        const QColor color = speakerColor(entry);
        auto *name = new QTableWidgetItem(QStringLiteral("  ") + entry.name);
        const int number = validPaletteNumber(i);
        auto *colorName = new QTableWidgetItem(
            number ? QStringLiteral(" ") + m_palette[number - 1].label : QString());
        for (QTableWidgetItem *item : {name, colorName}) {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setForeground(color);
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        }
        m_grid->setItem(i, 0, name);
        m_grid->setItem(i, 1, colorName);
    }
    m_grid->viewport()->installEventFilter(this);
    header->viewport()->installEventFilter(this);
    m_grid->setUpdatesEnabled(true);
}

int ColorSetDialog::validPaletteNumber(int speaker) const
{
    if (speaker < 0 || speaker >= m_handover.table.size())
        return 0;
    return m_handover.table[speaker].paletteNumber(m_palette.size());
}

int ColorSetDialog::topRow() const
{
    const int first = m_grid->rowAt(0);
    return first < 0 ? 1 : first + 1;
}

void ColorSetDialog::placeColorBox()
{
    // Over the colour cell of currentRow; before any click, over the first speaker's.
    const int row = qMax(1, m_currentRow);
    const int top = m_grid->viewport()->mapTo(this, QPoint(0, 0)).y()
        + (row - topRow()) * ui::twips(kRowHeight);
    const int left = m_grid->viewport()->mapTo(this, QPoint(0, 0)).x() + m_grid->columnWidth(0);
    // No taller than its row: the next row stays in sight.
    m_colorBox->setGeometry(left, top, m_grid->columnWidth(1), ui::twips(kRowHeight));
}

bool ColorSetDialog::eventFilter(QObject *watched, QEvent *event)
{
    const bool onCells = watched == m_grid->viewport();
    const bool onHeader = watched == m_grid->horizontalHeader()->viewport();
    if (!onCells && !onHeader)
        return QWidget::eventFilter(watched, event);

    auto *widget = static_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->buttons() == Qt::NoButton)
            updatePointer(widget->mapTo(m_grid, mouse->position().toPoint()).y());
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        // The pointer shape is decided where the click happens.
        updatePointer(widget->mapTo(m_grid, mouse->position().toPoint()).y());
        if (onCells)
            gridClicked(mouse->position().toPoint());
        else
            m_colorBox->hide();
        break;
    }
    default:
        break;
    }
    return false;
}

void ColorSetDialog::updatePointer(int gridY)
{
    const int y = ui::twipsOf(gridY);
    const int rows = int(m_handover.table.size()) + 1;
    m_customPointer = y > kPointerStep && y < rows * kPointerStep;
    if (m_customPointer) {
        m_grid->viewport()->setCursor(colorPickPointer());
    } else {
        m_grid->viewport()->unsetCursor();
        m_grid->setToolTip(QString());
    }
}

void ColorSetDialog::gridClicked(const QPoint &viewportPos)
{
    const QModelIndex cell = m_grid->indexAt(viewportPos);
    const int row = cell.isValid() ? cell.row() + 1 : -1;
    if (cell.column() != 1 || row <= 0 || !m_customPointer) {
        m_colorBox->hide();
        return;
    }
    m_currentRow = row;
    placeColorBox();
    // Preselect the speaker's own palette entry: names alone may repeat in the palette.
    if (const int number = validPaletteNumber(row - 1))
        m_colorBox->setCurrentIndex(number - 1);
    m_colorBox->setTextColor(m_colorBox->itemColor(m_colorBox->currentIndex()));
    m_colorBox->show();
    m_colorBox->raise();
}

void ColorSetDialog::colorChosen(int index)
{
    if (index < 0)
        return;
    const QString name = m_colorBox->itemText(index).trimmed();
    const QColor color = m_colorBox->itemColor(index);
    if (m_currentRow > 0 && m_currentRow <= m_grid->rowCount()) {
        const int r = m_currentRow - 1;
        if (QTableWidgetItem *item = m_grid->item(r, 0))
            item->setForeground(color);
        if (QTableWidgetItem *item = m_grid->item(r, 1)) {
            item->setText(QStringLiteral(" ") + name);
            item->setForeground(color);
        }
    }
    m_colorBox->setTextColor(color);
    if (m_currentRow > 0 && m_currentRow <= m_handover.table.size())
        m_handover.table[m_currentRow - 1].paletteIndex = QString::number(index + 1);
    m_colorBox->hide();
}

void ColorSetDialog::timerTick()
{
    const int top = topRow();
    if (top != m_lastTopRow)
        m_colorBox->hide();
    m_lastTopRow = top;
}

void ColorSetDialog::okClicked()
{
    const int speakers = int(m_handover.table.size());
    if (m_handover.speakerColors.size() < speakers)
        m_handover.speakerColors.resize(speakers);
    for (int i = 0; i < speakers; ++i) {
        if (const int number = validPaletteNumber(i))
            m_handover.speakerColors[i] = m_palette[number - 1].code;
    }
    m_handover.colorDialogCloses += 1;
    close();
}

void ColorSetDialog::restClicked()
{
    m_handover.forRestOfRun = true;
    okClicked();
}

void ColorSetDialog::closeEvent(QCloseEvent *event)
{
    unload();
    event->accept();
}

void ColorSetDialog::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_timer->stop();
    m_handover.colorDialogCloses += 1;
    for (const QCursor &cursor : std::as_const(m_runCursors))
        QApplication::setOverrideCursor(cursor);
    m_runCursors.clear();
    emit unloaded();
}

void ColorSetDialog::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (isMinimized())
        return;
    const int width = ui::twipsOf(this->width() + kFrameWidth); // the outer window
    const int height = ui::twipsOf(this->height() + kFrameHeight);
    const int gridWidth = qMax(0, width - 1020);
    const int gridHeight = qMax(0, height - 555 - (m_rest ? ui::twipsOf(kRestHeight) : 0));
    m_grid->setGeometry(0, 0, ui::twips(gridWidth), ui::twips(gridHeight));
    if (m_rest)
        m_rest->setGeometry(4, ui::twips(gridHeight) + 4, qMax(0, ui::twips(gridWidth) - 8),
                            kRestHeight - 8);
    m_grid->setColumnWidth(0, qMax(0, ui::twips(gridWidth - kColorColumn - 250)));
    m_ok->setGeometry(ui::twips(width - 855) - kBorder,
                      ui::twips(height - 930) - kBorder - kCaption, kOkWidth, kOkHeight);
    if (m_colorBox->isVisible())
        placeColorBox();
}
