#include "engine/speakerhandover.h"
#include "ui/main/mainwindowfixture.h"
#include "ui/rules/colorcombobox.h"
#include "ui/speakers/colorsetdialog.h"
#include "ui/speakers/speakerdialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>

namespace {

// The first two names differ only in their first character.
const Palette kPalette = {{QStringLiteral("#800000"), QStringLiteral("濃い赤")},
                          {QStringLiteral("#FF8080"), QStringLiteral("薄い赤")},
                          {QStringLiteral("#008000"), QStringLiteral("みどり")}};

// Speaker i has palette entry i % 3 + 1.
SpeakerHandover handoverFor(int speakers)
{
    SpeakerHandover h;
    for (int i = 0; i < speakers; ++i) {
        const PaletteEntry &entry = kPalette[i % 3];
        h.table.append(
            {QStringLiteral("話者%1").arg(i), QString::number(i % 3 + 1), entry.code.mid(1)});
        h.speakerColors.append(entry.code);
    }
    return h;
}

// Drives one dialog by its controls; grid rows are numbered with the header as row 0.
struct Driver
{
    ColorSetDialog *dialog;
    QTableWidget *grid;
    ColorComboBox *box;

    explicit Driver(ColorSetDialog *d)
        : dialog(d)
        , grid(control<QTableWidget>(d, QStringLiteral("fgName")))
        , box(control<ColorComboBox>(d, QStringLiteral("cboColor")))
    {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
    }
    QRect cell(int gridRow, int column) const
    {
        return grid->visualRect(grid->model()->index(gridRow - 1, column));
    }
    void click(QWidget *on, const QPoint &at) const
    {
        QTest::mouseMove(on, at);
        QTest::mouseClick(on, Qt::LeftButton, {}, at);
    }
    void clickCell(int gridRow, int column) const
    {
        click(grid->viewport(), cell(gridRow, column).center());
    }
    void choose(int entry) const
    {
        box->showPopup();
        QAbstractItemView *list = box->view();
        QTRY_VERIFY(list->isVisible());
        click(list->viewport(), list->visualRect(list->model()->index(entry, 0)).center());
    }
};

// Answers the speaker colour dialog once it shows, while a run waits for it.
void whenDialogOpens(std::function<void(ColorSetDialog *)> answer, int *openings, int tries = 2000)
{
    QTimer::singleShot(1, [=] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<ColorSetDialog *>(w); dialog && dialog->isVisible()) {
                ++*openings;
                return answer(dialog);
            }
        if (tries > 0) // not yet: the run is still reading
            whenDialogOpens(answer, openings, tries - 1);
    });
}

void okButton(ColorSetDialog *dialog)
{
    QTest::mouseClick(control<QPushButton>(dialog, QStringLiteral("cmdOk")), Qt::LeftButton);
}

} // namespace

class TestColorSetDialog : public QObject
{
    Q_OBJECT

private slots:
    void colorCellOpensBoxOtherClicksHideIt_data();
    void colorCellOpensBoxOtherClicksHideIt();
    void choosingRecoloursRow();
    void chosenColourAndCutNamesShow();
    void keyboardPressesOk_data();
    void keyboardPressesOk();
    void closingCounts_data();
    void closingCounts();
    void htmlRunWritesChosenColour();
    void laterLogOffersColoursApart();
    void closingDialogStopsHtmlRun();
};

void TestColorSetDialog::colorCellOpensBoxOtherClicksHideIt_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("name column") << "name";
    QTest::newRow("header") << "header";
    // Just under the header, above the band in which the colour pointer shows.
    QTest::newRow("top edge of the row") << "edge";
    QTest::newRow("below the last row") << "below";
}

void TestColorSetDialog::colorCellOpensBoxOtherClicksHideIt()
{
    QFETCH(QString, where);
    SpeakerHandover h = handoverFor(1);
    ColorSetDialog dialog(kPalette, h);
    const Driver d(&dialog);
    QVERIFY(!d.box->isVisible());
    d.clickCell(1, 1);
    // One speaker: the box floats right below the header, over the colour column.
    QVERIFY(d.box->isVisible());
    QCOMPARE(dialog.currentRow(), 1);
    const QPoint underHeader = d.grid->viewport()->mapTo(&dialog, QPoint(0, 0));
    QCOMPARE(d.box->geometry().topLeft(), underHeader + QPoint(d.grid->columnWidth(0), 0));
    QCOMPARE(d.box->width(), d.grid->columnWidth(1));
    QVERIFY(d.box->height() <= d.grid->rowHeight(0)); // the next row stays in sight
    QCOMPARE(d.box->textColor(), QColor(0x80, 0, 0));

    const int x = d.cell(1, 1).center().x();
    if (where == "name")
        d.clickCell(1, 0);
    else if (where == "header")
        d.click(d.grid->horizontalHeader()->viewport(), QPoint(x, 5));
    else
        d.click(d.grid->viewport(),
                QPoint(x, where == "edge" ? 1 : d.grid->viewport()->height() - 2));
    QVERIFY(!d.box->isVisible());
    QCOMPARE(h.table[0].paletteIndex, QStringLiteral("1"));
}

void TestColorSetDialog::choosingRecoloursRow()
{
    SpeakerHandover h = handoverFor(3);
    h.table[2].paletteIndex = QStringLiteral("9"); // no such palette entry: no colour name
    ColorSetDialog dialog(kPalette, h);
    const Driver d(&dialog);
    QCOMPARE(d.grid->item(0, 0)->text(), QStringLiteral("  話者0"));
    QCOMPARE(d.grid->item(0, 1)->text(), QStringLiteral(" 濃い赤"));
    QCOMPARE(d.grid->item(2, 1)->text(), QString());
    QCOMPARE(d.grid->item(2, 1)->foreground().color(), QColor(0, 0x80, 0));
    // Speaker 1 has entry 2, whose name equals entry 1's but for the first character.
    d.clickCell(2, 1);
    QCOMPARE(d.box->currentIndex(), 1);
    QCOMPARE(d.box->textColor(), QColor(0xFF, 0x80, 0x80));

    d.choose(2);
    QTRY_VERIFY(!d.box->isVisible());
    QCOMPARE(h.table[1].paletteIndex, QStringLiteral("3"));
    QCOMPARE(h.table[0].paletteIndex, QStringLiteral("1"));
    QCOMPARE(d.grid->item(1, 1)->text(), QStringLiteral(" みどり"));
    QCOMPARE(d.grid->item(1, 0)->foreground().color(), QColor(0, 0x80, 0));
    QCOMPARE(d.grid->item(1, 1)->foreground().color(), QColor(0, 0x80, 0));
    QCOMPARE(d.box->textColor(), QColor(0, 0x80, 0));
    QCOMPARE(h.speakerColors[1], QStringLiteral("#FF8080")); // only OK writes the colours
}

void TestColorSetDialog::chosenColourAndCutNamesShow()
{
    SpeakerHandover h = handoverFor(2);
    const QString longName
        = QStringLiteral("とてもとても長い名前の話者さんはこの欄には入りきらない");
    h.table[0].name = longName;
    ColorSetDialog dialog(kPalette, h);
    const Driver d(&dialog);
    auto hover = [&](int gridRow) {
        const QPoint at = d.cell(gridRow, 0).center();
        QHelpEvent help(QEvent::ToolTip, at, d.grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(d.grid->viewport(), &help);
    };
    hover(2);
    QVERIFY(!QToolTip::isVisible()); // the whole name shows
    hover(1);
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), longName);

    // The changed cell shows the chosen colour, not the selection's white on green.
    d.clickCell(2, 1);
    d.choose(2);
    QTRY_VERIFY(!d.box->isVisible());
    const QImage cell = d.grid->viewport()->grab(d.cell(2, 1)).toImage();
    int chosen = 0; // text pixels in (nearly, for smoothing) the chosen #008000
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < cell.width(); ++x) {
            const QColor c = cell.pixelColor(x, y);
            chosen += c.red() + qAbs(c.green() - 0x80) + c.blue() < 40;
        }
    QVERIFY(chosen > 0);
    QVERIFY(cell.pixelColor(cell.width() - 4, cell.height() / 2) != QColor(0, 192, 0));

    // In a run of several logs the title names the log first, and the window is wide enough
    // for all of it: a LINE log names the chat partner mid-name.
    SpeakerHandover run = handoverFor(1);
    run.logName = QStringLiteral("[LINE]とても長い名前のともだちさんたち とのトーク履歴.txt");
    run.logNumber = 2;
    run.logCount = 17;
    const ColorSetDialog titled(kPalette, run);
    QCOMPARE(titled.windowTitle(), run.logName + QStringLiteral("（2 / 17） - 個別に文字色を選択"));
    QVERIFY(titled.width() >= titled.fontMetrics().horizontalAdvance(titled.windowTitle()));
}

void TestColorSetDialog::keyboardPressesOk_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Space") << int(Qt::Key_Space);
}

// Tab leaves the grid for OK, which takes Return as well as Space.
void TestColorSetDialog::keyboardPressesOk()
{
    QFETCH(int, key);
    SpeakerHandover h = handoverFor(3);
    QPointer<ColorSetDialog> dialog = new ColorSetDialog(kPalette, h);
    const Driver d(dialog);
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    d.grid->setFocus(Qt::TabFocusReason);
    d.grid->setCurrentCell(0, 0);
    QTest::keyClick(d.grid, Qt::Key_Tab);
    auto *ok = control<QPushButton>(dialog, QStringLiteral("cmdOk"));
    QCOMPARE(QApplication::focusWidget(), ok);
    QTest::keyClick(ok, Qt::Key(key));
    QCOMPARE(h.colorDialogCloses, 2);
    QTRY_VERIFY(!dialog);
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
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<ColorSetDialog *>(w))
                seen = dialog;
        QVERIFY(seen && seen->isVisible() && seen->isEnabled());
        QVERIFY(!QApplication::overrideCursor()); // the grid shows its own pointers
        const Driver d(seen);
        d.clickCell(1, 1);
        d.choose(2);
        if (confirm)
            okButton(seen);
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
}

void TestColorSetDialog::htmlRunWritesChosenColour()
{
    MainWindowFixture f;
    f.start();
    f.dialogAnswers = {{f.chatLog("chat.txt")}};
    f.trigger("mnuFileOpen");
    f.find<QRadioButton>("optP1")->click();
    int openings = 0;
    bool mainWindowDisabled = false;
    whenDialogOpens(
        [&](ColorSetDialog *dialog) {
            mainWindowDisabled = !f.window->centralWidget()->isEnabled();
            const Driver d(dialog);
            d.clickCell(2, 1);
            d.choose(4); // palette entry 5 for the second speaker
            okButton(dialog);
        },
        &openings);
    f.trigger("mnuRun");

    QCOMPARE(openings, 1);
    QVERIFY(mainWindowDisabled);
    QVERIFY(f.messages.isEmpty());
    QFile out(f.dir.filePath("_chat.htm"));
    QVERIFY(out.open(QIODevice::ReadOnly));
    const QString page = cp932::decode(out.readAll());
    QVERIFY(page.contains(".HATSUGEN_01{color:" + f.state.palette[0].code));
    QVERIFY(page.contains(".HATSUGEN_02{color:" + f.state.palette[4].code));
    QCOMPARE(f.state.selection.selectedCount(), 0);
}

// Modern pages of three logs in one run: the third log's A and C each had the first colour,
// and the dialog offers them colours of their own.
void TestColorSetDialog::laterLogOffersColoursApart()
{
    MainWindowFixture f;
    f.preset(QStringLiteral("Page"), QStringLiteral("Style"), QStringLiteral("modern"));
    f.start();
    QStringList logs;
    for (const char *names : {"A B", "B C", "A B C"}) {
        QString text;
        for (const QString &name : QString::fromLatin1(names).split(u' '))
            text += name + QStringLiteral(" の発言：\r\nx\r\n");
        logs.append(f.dir.filePath(QStringLiteral("%1.txt").arg(logs.size())));
        QFile file(logs.last());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(cp932::encode(text)) > 0);
    }
    f.dialogAnswers = {logs};
    f.trigger("mnuFileOpen");
    f.find<QRadioButton>("optP1")->click();
    int openings = 0;
    QSet<QRgb> shown; // the colours the last dialog shows
    std::function<void(ColorSetDialog *)> answer = [&](ColorSetDialog *dialog) {
        const Driver d(dialog);
        shown.clear();
        for (int row = 0; row < d.grid->rowCount(); ++row)
            shown.insert(d.grid->item(row, 1)->foreground().color().rgb());
        okButton(dialog);
        if (openings < 3)
            whenDialogOpens(answer, &openings);
    };
    whenDialogOpens(answer, &openings);
    f.trigger("mnuRun");

    QCOMPARE(openings, 3);
    QCOMPARE(shown.size(), 3);
}

void TestColorSetDialog::closingDialogStopsHtmlRun()
{
    MainWindowFixture f;
    f.start();
    f.dialogAnswers = {{f.chatLog("a.txt"), f.chatLog("b.txt"), f.chatLog("c.txt")}};
    f.trigger("mnuFileOpen");
    f.find<QRadioButton>("optP1")->click();
    int openings = 0;
    whenDialogOpens([](ColorSetDialog *dialog) { dialog->close(); }, &openings);
    f.trigger("mnuRun");

    QCOMPARE(openings, 1);
    QCOMPARE(f.state.colorDialogCloses, 1);
    for (const char *name : {"_a.htm", "_b.htm", "_c.htm"})
        QVERIFY2(!QFile::exists(f.dir.filePath(QString::fromLatin1(name))), name);
    QCOMPARE(f.state.selection.selectedCount(), 3);
    QCOMPARE(f.text("lblCnt"), QStringLiteral("3"));
    QVERIFY(f.window->centralWidget()->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(TestColorSetDialog)
#include "tst_colorsetdialog.moc"
