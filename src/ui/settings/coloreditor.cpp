#include "coloreditor.h"

#include "colorchart.h"
#include "dialogsupport.h"
#include "namechangedialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QToolTip>
#include <cmath>
#include <optional>

using settingsui::fixedFont;
// Geometry in twips.
constexpr auto place = ui::placeTwips;

namespace {

constexpr int ColorRole = Qt::UserRole; // a line's colorNumber
constexpr int MaxPaletteEntries = 99; // the settings file numbers entries with two digits

// A number box's value: decimal text, blanks around it allowed.
std::optional<double> boxNumber(const QLineEdit *box)
{
    bool ok = false;
    const double v = box->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// Rounded to the nearest integer, halves to the even neighbour.
int roundEven(double v)
{
    return int(std::nearbyint(v));
}

int component(double v)
{
    return qBound(0, roundEven(v), 255);
}

} // namespace

ColorEditor::ColorEditor(ui::MessageFunction showMessage, QWidget *parent)
    : QGroupBox(QStringLiteral("色の設定 - リストをダブルクリックで色の名称変更可能"), parent)
    , m_showMessage(std::move(showMessage))
{
    setObjectName(QStringLiteral("Frame1"));
    buildControls();

    const QCursor pointer = settingsui::pointerCursor();
    for (QPushButton *b : findChildren<QPushButton *>())
        b->setCursor(pointer);
    lstColor->viewport()->setCursor(pointer);
    for (QLineEdit *box : {txtRed, txtGreen, txtBlue, txtColor})
        box->installEventFilter(this);
    lstColor->installEventFilter(this);
    lstColor->viewport()->installEventFilter(this);
}

void ColorEditor::buildControls()
{
    lstColor = new QListWidget(this);
    lstColor->setObjectName(QStringLiteral("lstColor"));
    lstColor->setFont(fixedFont());
    lstColor->setToolTip(QStringLiteral("変更したい色を選択してね"));
    lstColor->setSelectionMode(QAbstractItemView::SingleSelection);
    lstColor->setMouseTracking(true);
    place(lstColor, 120, 300, 2640, 3180);
    connect(lstColor, &QListWidget::itemSelectionChanged, this, &ColorEditor::lstColor_Click);
    connect(lstColor, &QListWidget::itemDoubleClicked, this, &ColorEditor::lstColor_DblClick);

    lblColor = new QLabel(QStringLiteral("色見本です"), this);
    lblColor->setObjectName(QStringLiteral("lblColor"));
    lblColor->setToolTip(QStringLiteral("色見本です"));
    lblColor->setFont(QFont(QStringLiteral("MS UI Gothic"), 12));
    lblColor->setAlignment(Qt::AlignCenter);
    lblColor->setAutoFillBackground(true);
    QPalette samplePal = lblColor->palette();
    samplePal.setColor(QPalette::Window, Qt::white);
    lblColor->setPalette(samplePal);
    place(lblColor, 2880, 300, 3105, 540);

    const char *labelNames[] = {"lblRed_0", "lblRed_1", "lblRed_2"};
    const QString captions[]
        = {QStringLiteral("赤(&R)"), QStringLiteral("緑(&G)"), QStringLiteral("青(&B)")};
    const QColor captionColors[] = {QColor(255, 0, 0), QColor(0, 128, 0), QColor(0, 0, 255)};
    const char *boxNames[] = {"txtRed", "txtGreen", "txtBlue"};
    const QString boxTips[] = {QStringLiteral("赤色の調整"), QStringLiteral("緑色の調整"),
                               QStringLiteral("青色の調整")};
    const char *barNames[] = {"H_R", "H_G", "H_B"};
    QLineEdit **boxes[] = {&txtRed, &txtGreen, &txtBlue};
    QScrollBar **bars[] = {&H_R, &H_G, &H_B};
    for (int c = 0; c < 3; ++c) {
        const int top = 960 + c * 420;
        auto *label = new QLabel(captions[c], this);
        label->setObjectName(QString::fromLatin1(labelNames[c]));
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, captionColors[c]);
        label->setPalette(pal);
        place(label, 2880, top + 30, 780, 300);
        lblRed[c] = label;

        auto *box = new QLineEdit(QStringLiteral("0"), this);
        box->setObjectName(QString::fromLatin1(boxNames[c]));
        box->setToolTip(boxTips[c]);
        box->setFont(fixedFont());
        box->setMaxLength(3);
        place(box, 3660, top, 600, 330);
        label->setBuddy(box);
        *boxes[c] = box;

        auto *scroll = new QScrollBar(Qt::Horizontal, this);
        scroll->setObjectName(QString::fromLatin1(barNames[c]));
        scroll->setRange(0, 255);
        scroll->setFocusPolicy(Qt::StrongFocus);
        place(scroll, 4320, top + 15, 1665, 300);
        *bars[c] = scroll;
        // valueChanged covers both the change and the thumb being dragged (tracking is on).
        connect(scroll, &QScrollBar::valueChanged, this, [this, c] { barChange(c); });
    }

    txtColor = new QLineEdit(QStringLiteral("#000000"), this);
    txtColor->setObjectName(QStringLiteral("txtColor"));
    txtColor->setToolTip(QStringLiteral("良くある色のデータ形式で設定。貼り付けもできるでよ"));
    txtColor->setFont(fixedFont());
    txtColor->setMaxLength(7);
    place(txtColor, 2880, 2280, 1260, 330);
    connect(txtColor, &QLineEdit::textChanged, this, &ColorEditor::txtColor_Change);

    auto button = [this](const char *name, const QString &text, const QString &tip) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        return b;
    };
    cmdChart = button("cmdChart", QStringLiteral("チャート表示"),
                      QStringLiteral("カラーチャートを表示します。"));
    cmdTekiyo = button("cmdTekiyo", QStringLiteral("適用"), QStringLiteral("この色で設定します"));
    Command1 = button("Command1", QStringLiteral("追加"), QStringLiteral("色を増やす"));
    Command2 = button("Command2", QStringLiteral("削除"), QStringLiteral("色を減らす"));
    place(cmdChart, 4260, 2250, 1725, 390);
    place(cmdTekiyo, 2880, 2820, 960, 420);
    place(Command1, 3945, 2820, 960, 420);
    place(Command2, 5010, 2820, 975, 420);
    connect(cmdChart, &QPushButton::clicked, this, &ColorEditor::cmdChart_Click);
    connect(cmdTekiyo, &QPushButton::clicked, this, &ColorEditor::cmdTekiyo_Click);
    connect(Command1, &QPushButton::clicked, this, &ColorEditor::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &ColorEditor::Command2_Click);
}

QLineEdit *ColorEditor::numberBox(int c) const
{
    return c == 0 ? txtRed : c == 1 ? txtGreen : txtBlue;
}

QScrollBar *ColorEditor::bar(int c) const
{
    return c == 0 ? H_R : c == 1 ? H_G : H_B;
}

void ColorEditor::load(const QString &bodyColor, const QString &narColor, const Palette &palette)
{
    addLine(QStringLiteral("本文の色"), settingsui::colorNumberFromCode(bodyColor));
    addLine(QStringLiteral("ナレーションの色"), settingsui::colorNumberFromCode(narColor));
    for (const PaletteEntry &entry : palette)
        addLine(entry.label, settingsui::colorNumberFromCode(entry.code));
    selectLine(0);
}

QString ColorEditor::bodyColor() const
{
    return colorcode::colorNumberToCode(lineColorNumber(0));
}

QString ColorEditor::narColor() const
{
    return colorcode::colorNumberToCode(lineColorNumber(1));
}

Palette ColorEditor::palette() const
{
    Palette palette;
    for (int row = 2; row < lstColor->count(); ++row)
        palette.append(
            {colorcode::colorNumberToCode(lineColorNumber(row)), lstColor->item(row)->text()});
    return palette;
}

QList<QLineEdit *> ColorEditor::numberBoxes() const
{
    return {txtRed, txtGreen, txtBlue};
}

void ColorEditor::closeChart()
{
    if (chartOpen && m_chart)
        m_chart->close();
}

bool ColorEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstColor && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        Command2_Click();
        return true;
    }
    if (watched == lstColor->viewport()) {
        if (event->type() == QEvent::MouseMove) {
            const auto *move = static_cast<QMouseEvent *>(event);
            if (move->buttons() == Qt::NoButton)
                lstColor_MouseMove(move->position().toPoint());
        } else if (event->type() == QEvent::ToolTip) {
            // The list shows its own tooltip, the one the last pointer move gave it.
            const auto *help = static_cast<QHelpEvent *>(event);
            if (lstColor->toolTip().isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), lstColor->toolTip(), lstColor->viewport());
            return true;
        }
    } else if (watched == txtColor && event->type() == QEvent::FocusIn) {
        editingHex = true;
    } else if (watched == txtColor && event->type() == QEvent::FocusOut) {
        txtColor_LostFocus();
    } else if (event->type() == QEvent::FocusOut) {
        const qsizetype c = numberBoxes().indexOf(qobject_cast<QLineEdit *>(watched));
        if (c >= 0)
            numberBoxLeft(int(c));
    }
    return QGroupBox::eventFilter(watched, event);
}

void ColorEditor::addLine(const QString &text, int colorNumber)
{
    auto *item = new QListWidgetItem(text, lstColor);
    item->setData(ColorRole, colorNumber);
}

int ColorEditor::lineColorNumber(int row) const
{
    const QListWidgetItem *item = lstColor->item(row);
    return item ? item->data(ColorRole).toInt() : 0;
}

int ColorEditor::selectedLine() const
{
    const QList<QListWidgetItem *> selected = lstColor->selectedItems();
    return selected.isEmpty() ? -1 : lstColor->row(selected.first());
}

void ColorEditor::selectLine(int row)
{
    lstColor->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

void ColorEditor::lstColor_Click()
{
    const int row = selectedLine();
    if (m_removing || row < 0)
        return;
    showColor(lineColorNumber(row));
    Command2->setEnabled(row >= 2);
    if (row < 2)
        setSampleBold(false);
    else if (m_boldUtterances)
        setSampleBold(true);
}

// Palette lines show the utterances' boldness; the two fixed colours keep theirs.
void ColorEditor::setBoldUtterances(bool bold)
{
    m_boldUtterances = bold;
    if (selectedLine() >= 2)
        setSampleBold(bold);
}

void ColorEditor::setSampleBold(bool bold)
{
    QFont f = lblColor->font();
    f.setBold(bold);
    lblColor->setFont(f);
}

void ColorEditor::setSampleColor(int red, int green, int blue)
{
    m_sampleColor = QColor(red, green, blue);
    QPalette pal = lblColor->palette();
    pal.setColor(QPalette::WindowText, m_sampleColor);
    lblColor->setPalette(pal);
}

void ColorEditor::showColor(int colorNumber)
{
    const int rgb[] = {(colorNumber >> 16) & 0xFF, (colorNumber >> 8) & 0xFF, colorNumber & 0xFF};
    for (int c = 0; c < 3; ++c)
        numberBox(c)->setText(QString::number(rgb[c]));
    // A bar whose value changes rewrites its two digits of txtColor; one that keeps its value
    // leaves them as they are.
    for (int c = 0; c < 3; ++c)
        bar(c)->setValue(rgb[c]);
    setSampleColor(rgb[0], rgb[1], rgb[2]);
}

void ColorEditor::barChange(int c)
{
    const int value = bar(c)->value();
    if (!updatingBar) {
        numberBox(c)->setText(QString::number(value));
        const QString current = txtColor->text();
        const QString xx = colorcode::componentToHex(value);
        if (c == 0)
            txtColor->setText(u'#' + xx + current.right(4));
        else if (c == 1)
            txtColor->setText(current.left(3) + xx + current.right(2));
        else
            txtColor->setText(current.left(5) + xx);
    }
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        if (i == c) {
            rgb[i] = value;
            continue;
        }
        const std::optional<double> n = boxNumber(numberBox(i));
        if (!n)
            return; // the sample keeps its colour
        rgb[i] = component(*n);
    }
    setSampleColor(rgb[0], rgb[1], rgb[2]);
}

void ColorEditor::numberBoxLeft(int c)
{
    QLineEdit *box = numberBox(c);
    const std::optional<double> n = boxNumber(box);
    if (!n || *n > 255 || *n < 0)
        box->setText(QStringLiteral("0"));
    updatingBar = true;
    bar(c)->setValue(component(boxNumber(box).value_or(0)));
    updatingBar = false;
}

void ColorEditor::txtColor_Change()
{
    if (!editingHex)
        return;
    if (!txtColor->text().startsWith(u'#'))
        txtColor->setText(u'#' + txtColor->text()); // handled at once by this same behaviour
    const QString text = txtColor->text();
    const QString s = QString(text + QStringLiteral("000000")).left(7).right(6);
    const int number = settingsui::hexColorNumber(s);
    if (number < 0) {
        txtColor->setText(QStringLiteral("#000000"));
        txtColor->setSelection(0, 7);
        return;
    }
    const int rgb[] = {(number >> 16) & 0xFF, (number >> 8) & 0xFF, number & 0xFF};
    for (int c = 0; c < 3; ++c) {
        const std::optional<double> n = boxNumber(numberBox(c));
        if (n && *n == rgb[c])
            continue;
        numberBox(c)->setText(QString::number(rgb[c]));
        numberBoxLeft(c);
    }
}

void ColorEditor::txtColor_LostFocus()
{
    txtColor->setText(txtColor->text().toUpper());
    editingHex = false;
}

void ColorEditor::chartPick(const QString &code)
{
    editingHex = true;
    txtColor->setText(code);
    editingHex = false;
}

void ColorEditor::cmdTekiyo_Click()
{
    QListWidgetItem *item = lstColor->item(selectedLine());
    if (!item)
        return;
    int rgb[3];
    for (int c = 0; c < 3; ++c)
        rgb[c] = component(boxNumber(numberBox(c)).value_or(0));
    item->setData(ColorRole, rgb[0] * 65536 + rgb[1] * 256 + rgb[2]);
}

void ColorEditor::Command1_Click()
{
    const int k = lstColor->count() - 1; // the new entry's palette number
    if (k > MaxPaletteEntries) {
        m_showMessage(this, QMessageBox::Critical, QStringLiteral("色は９９個までだよ♪"),
                      QStringLiteral("これ以上は無理っす"));
        return;
    }
    const QString name = colorcode::defaultColorLabel(k);
    addLine(name, settingsui::colorNumberFromCode(txtColor->text()));
    selectLine(lstColor->count() - 1);
}

void ColorEditor::Command2_Click()
{
    const int row = selectedLine();
    if (row < 2)
        return;
    // Fewer than two palette entries would leave a conversion without colours to hand out.
    if (lstColor->count() - 2 <= 2) {
        m_showMessage(this, QMessageBox::Critical, QStringLiteral("これ以上は消さないでね♪"),
                      QStringLiteral("あんま消すと意味無いからね"));
        return;
    }
    m_removing = true;
    delete lstColor->takeItem(row);
    lstColor->clearSelection();
    lstColor->setCurrentRow(-1, QItemSelectionModel::Clear);
    m_removing = false;
}

void ColorEditor::lstColor_DblClick()
{
    QListWidgetItem *item = lstColor->item(selectedLine());
    if (!item || lstColor->row(item) < 2)
        return;
    NameChangeDialog editor(item->text(), m_sampleColor, this);
    if (editor.exec() == QDialog::Accepted)
        item->setText(editor.name());
}

void ColorEditor::lstColor_MouseMove(const QPoint &pos)
{
    const QListWidgetItem *item = lstColor->itemAt(pos);
    lstColor->setToolTip(item ? item->text() : QString());
}

void ColorEditor::cmdChart_Click()
{
    chartOpen = true;
    if (!m_chart) {
        m_chart = new ColorChart(this);
        connect(m_chart, &ColorChart::picked, this, &ColorEditor::chartPick);
        connect(m_chart, &ColorChart::closed, this, [this] { chartOpen = false; });
    }
    // Just outside the dialog's right edge, bottom edges level; placed once shown, when the
    // window frame is known.
    m_chart->show();
    const QRect dialog = window()->frameGeometry();
    const QRect chart = m_chart->frameGeometry();
    m_chart->move(dialog.left() + dialog.width(), dialog.top() + dialog.height() - chart.height());
    m_chart->raise();
}
