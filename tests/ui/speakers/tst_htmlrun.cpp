#include "ui/main/mainwindowfixture.h"
#include "ui/rules/colorcombobox.h"
#include "ui/speakers/colorsetdialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

namespace {

ColorSetDialog *openDialog()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<ColorSetDialog *>(w); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

// Answers the speaker colour dialog while the run waits for it; `answer` gets the dialog.
void whenDialogOpens(const std::function<void(ColorSetDialog *)> &answer, int *openings,
                     int tries = 2000)
{
    QTimer::singleShot(1, [=] {
        ColorSetDialog *dialog = openDialog();
        if (!dialog) {
            if (tries > 0) // not yet: the run is still reading
                whenDialogOpens(answer, openings, tries - 1);
            return;
        }
        ++*openings;
        answer(dialog);
    });
}

} // namespace

class TestHtmlRun : public QObject
{
    Q_OBJECT

private slots:
    void chosenColourReachesThePage();
    void closingDialogStopsTheRun();
};

void TestHtmlRun::chosenColourReachesThePage()
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
            auto *grid = dialog->findChild<QTableWidget *>(QStringLiteral("fgName"));
            auto *box = dialog->findChild<ColorComboBox *>(QStringLiteral("cboColor"));
            const QPoint at = grid->visualRect(grid->model()->index(1, 1)).center();
            QTest::mouseMove(grid->viewport(), at);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
            emit box->activated(4); // palette entry 5 for the second speaker
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOk")),
                              Qt::LeftButton);
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
    QCOMPARE(f.state.selection.selectedCount, 0);
}

void TestHtmlRun::closingDialogStopsTheRun()
{
    MainWindowFixture f;
    f.start();
    f.dialogAnswers = {{f.chatLog("a.txt"), f.chatLog("b.txt"), f.chatLog("c.txt")}};
    f.trigger("mnuFileOpen");
    f.find<QRadioButton>("optP1")->click();
    QCOMPARE(f.state.selection.selectedCount, 3);

    int openings = 0;
    whenDialogOpens([](ColorSetDialog *dialog) { dialog->close(); }, &openings);
    f.trigger("mnuRun");

    QCOMPARE(openings, 1);
    QCOMPARE(f.state.colorDialogCloses, 1);
    for (const char *name : {"_a.htm", "_b.htm", "_c.htm"})
        QVERIFY2(!QFile::exists(f.dir.filePath(QString::fromLatin1(name))), name);
    QCOMPARE(f.state.selection.selectedCount, 3);
    QCOMPARE(f.text("lblCnt"), QStringLiteral("3"));
    QVERIFY(f.window->centralWidget()->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(TestHtmlRun)
#include "tst_htmlrun.moc"
