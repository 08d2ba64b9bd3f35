#include "engine/speakerhandover.h"
#include "ui/rules/colorcombobox.h"
#include "ui/speakers/colorsetdialog.h"
#include "ui/speakers/speakerdialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

// The first two names differ only in their first character.
const Palette kPalette = {{QStringLiteral("#800000"), QStringLiteral("濃い赤")},
                          {QStringLiteral("#FF8080"), QStringLiteral("薄い赤")},
                          {QStringLiteral("#008000"), QStringLiteral("みどり")}};

SpeakerHandover handoverFor(int speakers)
{
    SpeakerHandover h;
    for (int i = 0; i < speakers; ++i) {
        const int n = i % 3;
        h.table.append(
            {QStringLiteral("話者%1").arg(i), QString::number(n + 1), kPalette[n].code.mid(1)});
        h.speakerColors.append(kPalette[n].code);
    }
    return h;
}

struct Open
{
    SpeakerHandover handover;
    QPointer<ColorSetDialog> dialog;
    QTableWidget *grid = nullptr;
    ColorComboBox *box = nullptr;

    explicit Open(int speakers)
        : handover(handoverFor(speakers))
        , dialog(new ColorSetDialog(kPalette, handover))
    {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.data()));
        grid = dialog->findChild<QTableWidget *>(QStringLiteral("fgName"));
        box = dialog->findChild<ColorComboBox *>(QStringLiteral("cboColor"));
        QVERIFY(grid && box);
    }
    ~Open() { delete dialog.data(); }

    QPoint cell(int gridRow, int column) const
    {
        return grid->visualRect(grid->model()->index(gridRow - 1, column)).center();
    }
    void clickCell(int gridRow, int column) const { clickAt(cell(gridRow, column)); }
    void clickAt(const QPoint &viewportPos) const
    {
        QTest::mouseMove(grid->viewport(), viewportPos);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, viewportPos);
    }
    void choose(int entry) const
    {
        box->showPopup();
        QAbstractItemView *list = box->view();
        QTRY_VERIFY(list->isVisible());
        const QPoint at = list->visualRect(list->model()->index(entry, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    }
};

} // namespace

class TestColorSetDialog : public QObject
{
    Q_OBJECT

private slots:
    void loadsOneRowPerSpeaker();
    void colorCellOpensBoxOverIt();
    void clicksElsewhereHideBox_data();
    void clicksElsewhereHideBox();
    void choosingRecoloursRow();
    void preselectsSpeakersOwnEntry();
    void scrollingHidesBox();
    void resizeKeepsControlsInside_data();
    void resizeKeepsControlsInside();
    void closingCounts_data();
    void closingCounts();
};

void TestColorSetDialog::loadsOneRowPerSpeaker()
{
    Open o(2);
    o.handover.table[1].paletteIndex = QStringLiteral("9"); // not in the palette
    ColorSetDialog again(kPalette, o.handover);
    auto *grid = again.findChild<QTableWidget *>(QStringLiteral("fgName"));
    QCOMPARE(again.windowTitle(), QStringLiteral("個別に文字色を選択"));
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(grid->horizontalHeaderItem(0)->text(), QStringLiteral("おなまえ"));
    QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral("文字色"));
    QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("  話者0"));
    QCOMPARE(grid->item(0, 1)->text(), QStringLiteral(" 濃い赤"));
    QCOMPARE(grid->item(0, 1)->foreground().color(), QColor(0x80, 0, 0));
    QCOMPARE(grid->item(1, 0)->foreground().color(), QColor(0xFF, 0x80, 0x80));
    QCOMPARE(grid->item(1, 1)->text(), QString());
    auto *ok = again.findChild<QPushButton *>(QStringLiteral("cmdOk"));
    QCOMPARE(ok->toolTip(), QStringLiteral("設定っ"));
    QVERIFY(again.windowFlags() & Qt::WindowStaysOnTopHint);
}

void TestColorSetDialog::colorCellOpensBoxOverIt()
{
    Open o(1);
    QVERIFY(!o.box->isVisible());
    o.clickCell(1, 1);
    QVERIFY(o.box->isVisible());
    QCOMPARE(o.dialog->currentRow(), 1);
    const QPoint headerBottom = o.grid->viewport()->mapTo(o.dialog, QPoint(0, 0));
    QCOMPARE(o.box->y(), headerBottom.y());
    QCOMPARE(o.box->x(), headerBottom.x() + o.grid->columnWidth(0));
    QCOMPARE(o.box->width(), o.grid->columnWidth(1));
    QCOMPARE(o.box->textColor(), QColor(0x80, 0, 0));
}

void TestColorSetDialog::clicksElsewhereHideBox_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("name column") << "name";
    QTest::newRow("header") << "header";
    // Just under the header, above the band in which the colour pointer shows.
    QTest::newRow("top edge of the row") << "edge";
    QTest::newRow("below the last row") << "below";
}

void TestColorSetDialog::clicksElsewhereHideBox()
{
    QFETCH(QString, where);
    Open o(1);
    o.clickCell(1, 1);
    QVERIFY(o.box->isVisible());
    const int colorX = o.cell(1, 1).x();
    if (where == "name") {
        o.clickCell(1, 0);
    } else if (where == "header") {
        QWidget *header = o.grid->horizontalHeader()->viewport();
        QTest::mouseMove(header, QPoint(colorX, 5));
        QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(colorX, 5));
    } else if (where == "edge") {
        o.clickAt(QPoint(colorX, 1));
    } else {
        o.clickAt(QPoint(colorX, o.grid->viewport()->height() - 2));
    }
    QVERIFY(!o.box->isVisible());
    QCOMPARE(o.handover.table[0].paletteIndex, QStringLiteral("1"));
}

void TestColorSetDialog::choosingRecoloursRow()
{
    Open o(2);
    o.clickCell(2, 1);
    o.choose(2);
    QTRY_VERIFY(!o.box->isVisible());
    QCOMPARE(o.handover.table[1].paletteIndex, QStringLiteral("3"));
    QCOMPARE(o.handover.table[0].paletteIndex, QStringLiteral("1"));
    QCOMPARE(o.grid->item(1, 1)->text(), QStringLiteral(" みどり"));
    QCOMPARE(o.grid->item(1, 0)->foreground().color(), QColor(0, 0x80, 0));
    QCOMPARE(o.grid->item(1, 1)->foreground().color(), QColor(0, 0x80, 0));
    QCOMPARE(o.box->textColor(), QColor(0, 0x80, 0));
    QCOMPARE(o.handover.speakerColors[1], QStringLiteral("#FF8080")); // only OK writes them
}

void TestColorSetDialog::preselectsSpeakersOwnEntry()
{
    Open o(2); // speaker 1 has entry 2, whose name matches entry 1 but for its first character
    o.clickCell(2, 1);
    QCOMPARE(o.box->currentIndex(), 1);
    QCOMPARE(o.box->textColor(), QColor(0xFF, 0x80, 0x80));
    o.clickCell(1, 1);
    QCOMPARE(o.box->currentIndex(), 0);
}

void TestColorSetDialog::scrollingHidesBox()
{
    Open o(40);
    o.clickCell(1, 1);
    QVERIFY(o.box->isVisible());
    o.grid->verticalScrollBar()->setValue(3);
    QTRY_VERIFY_WITH_TIMEOUT(!o.box->isVisible(), 300);
    o.clickCell(5, 1);
    QVERIFY(o.box->isVisible());
    QCOMPARE(o.dialog->currentRow(), 5);
    QCOMPARE(o.box->y(),
             o.grid->viewport()
                 ->mapTo(o.dialog, o.grid->visualRect(o.grid->model()->index(4, 1)).topLeft())
                 .y());
}

void TestColorSetDialog::resizeKeepsControlsInside_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("small") << QSize(240, 140);
    QTest::newRow("initial") << QSize(420, 280);
    QTest::newRow("large") << QSize(900, 700);
}

void TestColorSetDialog::resizeKeepsControlsInside()
{
    QFETCH(QSize, size);
    Open o(3);
    o.dialog->resize(size);
    QTRY_COMPARE(o.dialog->size(), size);
    const QRect client = o.dialog->rect();
    const QRect ok = o.dialog->findChild<QPushButton *>(QStringLiteral("cmdOk"))->geometry();
    QVERIFY(client.contains(o.grid->geometry()));
    QVERIFY(client.contains(ok));
    QVERIFY(ok.left() > o.grid->geometry().right());
    // Both columns fit beside the vertical scroll bar.
    QVERIFY(o.grid->columnWidth(0) + o.grid->columnWidth(1) <= o.grid->width());
}

void TestColorSetDialog::closingCounts_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("closes");
    QTest::newRow("OK") << true << 2;
    QTest::newRow("close box") << false << 1;
}

void TestColorSetDialog::closingCounts()
{
    QFETCH(bool, confirm);
    QFETCH(int, closes);
    SpeakerHandover h = handoverFor(2);
    QWidget owner; // disabled like the main window during a run
    owner.show();
    owner.setEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor); // the run's pointer
    QPointer<ColorSetDialog> seen;
    QTimer::singleShot(0, [&] {
        QVERIFY(!QApplication::overrideCursor()); // the grid shows its own pointers
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<ColorSetDialog *>(w))
                seen = d;
        QVERIFY(seen && seen->isVisible() && seen->isEnabled());
        auto *grid = seen->findChild<QTableWidget *>(QStringLiteral("fgName"));
        auto *box = seen->findChild<ColorComboBox *>(QStringLiteral("cboColor"));
        const QPoint at = grid->visualRect(grid->model()->index(0, 1)).center();
        QTest::mouseMove(grid->viewport(), at);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        emit box->activated(2);
        if (confirm)
            QTest::mouseClick(seen->findChild<QPushButton *>(QStringLiteral("cmdOk")),
                              Qt::LeftButton);
        else
            seen->close();
    });
    // Should the driver above fail, still end the wait.
    QTimer::singleShot(5000, [&] {
        if (seen)
            seen->close();
    });
    runSpeakerColorDialog(kPalette, h, &owner);
    QCOMPARE(h.colorDialogCloses, closes);
    QCOMPARE(h.speakerColors[0], confirm ? QStringLiteral("#008000") : QStringLiteral("#800000"));
    QCOMPARE(h.speakerColors[1], QStringLiteral("#FF8080"));
    QTRY_VERIFY(seen.isNull()); // deleted once closed
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    QApplication::restoreOverrideCursor();
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(TestColorSetDialog)
#include "tst_colorsetdialog.moc"
