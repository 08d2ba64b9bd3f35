#include "mainwindowfixture.h"
#include "ui/main/filelistdialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

namespace {

const QString NothingSelected = QStringLiteral("ファイルを洗濯しれっ(゜▽、゜)y－~~~");
const QString ReadyToRun = QStringLiteral("はよ実行しれっ(´･ω･`)つ[実行っ]");

void drop(QWidget *box, const QStringList &paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    mime.setUrls(urls);
    QWidget *target = static_cast<QTextEdit *>(box)->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

// Colour and weight of every character of preview line `line`, its leading TAB left out.
void checkLine(const QTextEdit *box, int line, const QString &color, bool bold)
{
    const QTextBlock block = box->document()->findBlockByNumber(line);
    QVERIFY2(block.isValid(), qPrintable(QString::number(line)));
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.text() == u"\t")
            continue;
        const QTextCharFormat format = fragment.charFormat();
        QCOMPARE(format.foreground().color().name(QColor::HexRgb).toUpper(), color);
        QCOMPARE(format.fontWeight() == QFont::Bold, bold);
    }
}

// Runs `answer` on the modal dialog the next command opens.
void whenModal(std::function<void(QWidget *)> answer)
{
    QTimer::singleShot(0, [answer] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        answer(modal);
    });
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void firstStart();
    void startWithStoredSettings();
    void fileDialogSelections_data();
    void fileDialogSelections();
    void drops_data();
    void drops();
    void outputKindAndPreview_data();
    void outputKindAndPreview();
    void fileViewWithNothingSelected();
    void fileViewRemovesCheckedFiles_data();
    void fileViewRemovesCheckedFiles();
    void textRunFromMenu();
    void dialogsStayUsableWhileWindowIsBlocked();
    void commandLineStart_data();
    void commandLineStart();
    void commandLineWithoutLogsStartsNormally();
    void shutdown_data();
    void shutdown();
    void ruleToggleMessages();
    void shortcuts();
};

void TestMainWindow::firstStart()
{
    MainWindowFixture f;
    QVERIFY(!f.start());
    MainWindow &w = *f.window;
    QVERIFY(w.isVisible());
    QCOMPARE(w.pos(), QPoint(0, 0));
    QCOMPARE(w.windowTitle(), QStringLiteral("｜･ω･`*)っ且~　Pelorin"));
    QVERIFY(f.find<QRadioButton>("optP0")->isChecked());
    QVERIFY(!f.find<QRadioButton>("optP1")->isChecked());
    QCOMPARE(f.text("lblCnt"), QStringLiteral("0"));
    QCOMPARE(f.text("lblChange"), QString());
    QCOMPARE(w.statusText(), NothingSelected);
    QVERIFY(!f.find<QProgressBar>("PBar")->isVisible());
    QCOMPARE(w.minimumSize(), w.maximumSize());
    // The file now holds every key.
    for (const auto &[section, key] :
         QList<std::pair<QString, QString>> {{"DefaultDir", "Dir"},
                                             {"Hatsugen", "Type"},
                                             {"ChangeType", "type"},
                                             {"Color", "Count"},
                                             {"Color", "No_08"},
                                             {"ColorLabel", "No_08"},
                                             {"OtherColor", "Nar"},
                                             {"File", "AddStr"},
                                             {"Display", "TOP"},
                                             {"Window", "Top"},
                                             {"Window", "Left"},
                                             {"MsgRule", "Enable"},
                                             {"JavaScript", "文字の太さ変更"}})
        QVERIFY2(!f.stored(section, key).isEmpty(), qPrintable(section + u'/' + key));
    QCOMPARE(f.stored("Window", "Top"), QStringLiteral("0"));
    // The preview shows the start-up header.
    QCOMPARE(f.find<QTextEdit>("rTxt")->document()->firstBlock().text(),
             QStringLiteral("ぽぷる  の発言："));
}

void TestMainWindow::startWithStoredSettings()
{
    MainWindowFixture f;
    f.preset("Window", "Left", "1500");
    f.preset("Window", "Top", "750");
    f.preset("ChangeType", "type", "1");
    f.preset("Display", "TOP", "1");
    f.preset("MsgRule", "Enable", "0");
    f.start();
    MainWindow &w = *f.window;
    QCOMPARE(w.pos(), QPoint(100, 50));
    QVERIFY(f.find<QRadioButton>("optP1")->isChecked());
    QCOMPARE(f.find<QRadioButton>("optP1")->palette().color(QPalette::WindowText),
             QColor(0, 0, 255));
    QVERIFY(f.find<QCheckBox>("chkPos")->isChecked());
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!f.find<QAction>("mnuRuleEna")->isChecked());
}

void TestMainWindow::fileDialogSelections_data()
{
    QTest::addColumn<QList<QStringList>>("picks"); // file names, one list per dialog use
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("status");

    QTest::newRow("one log") << QList<QStringList> {{"chat.TXT"}} << 1 << "_chat.txt" << ReadyToRun;
    QTest::newRow("several from one folder")
        << QList<QStringList> {{"b.txt", "a.txt", "c.xml"}} << 3 << "_b.txt" << ReadyToRun;
    QTest::newRow("same file twice")
        << QList<QStringList> {{"chat.txt"}, {"chat.txt"}} << 1 << "_chat.txt" << ReadyToRun;
    QTest::newRow("selections accumulate")
        << QList<QStringList> {{"b.txt"}, {"a.txt", "b.txt"}} << 2 << "_a.txt" << ReadyToRun;
    QTest::newRow("cancelled") << QList<QStringList> {{}} << 0 << "" << NothingSelected;
    QTest::newRow("nothing a log")
        << QList<QStringList> {{"notes.doc"}} << 0 << "" << NothingSelected;
    QTest::newRow("cancel keeps earlier")
        << QList<QStringList> {{"chat.txt"}, {}} << 1 << "_chat.txt" << ReadyToRun;
}

void TestMainWindow::fileDialogSelections()
{
    QFETCH(QList<QStringList>, picks);
    QFETCH(int, count);
    MainWindowFixture f;
    f.start();
    const QString folder = f.dir.filePath("logs") + u'/';
    for (const QStringList &names : picks) {
        QStringList paths;
        for (const QString &name : names)
            paths.append(folder + name);
        f.dialogAnswers.append(paths);
        f.trigger("mnuFileOpen");
    }
    QCOMPARE(f.dialogDirs.size(), picks.size());
    QCOMPARE(f.state.selection.selectedCount, count);
    QCOMPARE(f.text("lblCnt"), QString::number(count));
    QTEST(f.text("lblChange"), "label");
    QTEST(f.window->statusText(), "status");
    if (count > 0) {
        QCOMPARE(f.state.settings.defaultDir, folder);
        QCOMPARE(f.state.selection.stem(0).left(folder.size() + 1), folder + u'_');
    }
}

void TestMainWindow::drops_data()
{
    QTest::addColumn<QStringList>("before"); // selected with the dialog first
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("folder"); // the dialog's next folder, under the test folder

    QTest::newRow("one log") << QStringList() << QStringList {"chat.TXT"} << 1 << "_chat.txt"
                             << ReadyToRun << "";
    QTest::newRow("two, shown by the first in order")
        << QStringList() << QStringList {"b.xml", "a.txt"} << 2 << "_a.txt" << ReadyToRun << "";
    QTest::newRow("same file twice") << QStringList {"chat.txt"} << QStringList {"chat.txt"} << 1
                                     << "_chat.txt" << ReadyToRun << "";
    QTest::newRow("only images") << QStringList() << QStringList {"a.png", "b.jpg"} << 0 << ""
                                 << NothingSelected << "";
    QTest::newRow("images keep the earlier selection")
        << QStringList {"chat.txt"} << QStringList {"a.png"} << 1 << "_chat.txt" << ReadyToRun
        << "";
    QTest::newRow("blank in a folder name")
        << QStringList() << QStringList {"my logs/x.txt", "y.txt"} << 2 << "_x.txt" << ReadyToRun
        << "my logs/";
}

void TestMainWindow::drops()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, dropped);
    QFETCH(int, count);
    MainWindowFixture f;
    f.start();
    const QString folder = f.dir.path() + u'/';
    if (!before.isEmpty()) {
        QStringList paths;
        for (const QString &name : before)
            paths.append(folder + name);
        f.dialogAnswers.append(paths);
        f.trigger("mnuFileOpen");
    }
    QStringList paths;
    for (const QString &name : dropped)
        paths.append(folder + name);
    drop(f.find<QTextEdit>("rTxt"), paths);

    QCOMPARE(f.state.selection.selectedCount, count);
    QCOMPARE(f.text("lblCnt"), QString::number(count));
    QTEST(f.text("lblChange"), "label");
    QTEST(f.window->statusText(), "status");
    // The box itself takes nothing in.
    QCOMPARE(f.find<QTextEdit>("rTxt")->document()->blockCount(), 6);
    if (count > 0) {
        QFETCH(QString, folder);
        QCOMPARE(f.state.settings.defaultDir, f.dir.path() + u'/' + folder);
    }
}

void TestMainWindow::outputKindAndPreview_data()
{
    QTest::addColumn<bool>("nameToo");
    QTest::addColumn<bool>("bold");
    QTest::newRow("defaults") << false << false;
    QTest::newRow("names coloured, bold") << true << true;
}

void TestMainWindow::outputKindAndPreview()
{
    QFETCH(bool, nameToo);
    QFETCH(bool, bold);
    MainWindowFixture f;
    f.preset("NameToo", "Yes", nameToo ? "1" : "0");
    f.preset("Hutoji", "Yes", bold ? "1" : "0");
    f.dialogAnswers.append({f.dir.filePath("chat.TXT")});
    f.start();
    f.trigger("mnuFileOpen");
    auto *box = f.find<QTextEdit>("rTxt");
    auto *text = f.find<QRadioButton>("optP0");
    auto *html = f.find<QRadioButton>("optP1");

    html->click();
    QCOMPARE(f.state.settings.changeType, 1);
    QCOMPARE(f.text("lblChange"), QStringLiteral("_chat.htm"));
    QCOMPARE(html->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QVERIFY(text->palette().color(QPalette::WindowText) != QColor(0, 0, 255));
    const QString colors[3] = {"#AE00AE", "#008040", "#7468FF"};
    for (int k = 0; k < 3; ++k) {
        checkLine(box, 2 * k, nameToo ? colors[k] : QStringLiteral("#000000"), false);
        checkLine(box, 2 * k + 1, colors[k], bold);
    }

    text->click();
    QCOMPARE(f.state.settings.changeType, 0);
    QCOMPARE(f.text("lblChange"), QStringLiteral("_chat.txt"));
    for (int line = 0; line < 6; ++line)
        checkLine(box, line, QStringLiteral("#000000"), false);
}

void TestMainWindow::fileViewWithNothingSelected()
{
    MainWindowFixture f;
    f.start();
    f.find<QPushButton>("cmdFileView")->click();
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].icon, RunHost::Icon::Critical);
    QCOMPARE(f.messages[0].prompt, QStringLiteral("先にファイルを選択しれっつの（℃ ヽ(`Д´)ﾉ "));
    QCOMPARE(f.messages[0].title, QStringLiteral("ごるぁ"));
    QVERIFY(!f.window->findChild<FileListDialog *>());
}

void TestMainWindow::fileViewRemovesCheckedFiles_data()
{
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("status");
    QTest::newRow("first and third") << QList<int> {0, 2} << 1 << "_b.txt" << ReadyToRun;
    QTest::newRow("all") << QList<int> {0, 1, 2} << 0 << "" << NothingSelected;
    QTest::newRow("none") << QList<int> {} << 3 << "_a.txt" << ReadyToRun;
}

void TestMainWindow::fileViewRemovesCheckedFiles()
{
    QFETCH(QList<int>, checked);
    QFETCH(int, count);
    MainWindowFixture f;
    f.start();
    f.dialogAnswers.append(
        {f.dir.filePath("c.txt"), f.dir.filePath("a.txt"), f.dir.filePath("b.txt")});
    f.trigger("mnuFileOpen");
    whenModal([&](QWidget *modal) {
        QCOMPARE(modal->objectName(), QStringLiteral("frmFile"));
        auto *list = modal->findChild<QListWidget *>("List1");
        QCOMPARE(list->count(), 3);
        list->setCurrentRow(1);
        for (int i : checked)
            list->item(i)->setCheckState(Qt::Checked);
        modal->findChild<QPushButton *>("cmdDel")->click();
        modal->findChild<QPushButton *>("cmdCancel")->click();
    });
    f.find<QPushButton>("cmdFileView")->click();
    QCOMPARE(f.state.selection.selectedCount, count);
    QCOMPARE(f.text("lblCnt"), QString::number(count));
    QTEST(f.text("lblChange"), "label");
    QTEST(f.window->statusText(), "status");
    QVERIFY(f.messages.isEmpty());
}

void TestMainWindow::textRunFromMenu()
{
    MainWindowFixture f;
    f.start();
    const QString log = f.chatLog("chat.txt");
    drop(f.find<QTextEdit>("rTxt"), {log});
    QCOMPARE(f.text("lblCnt"), QStringLiteral("1"));

    f.trigger("mnuRun");
    QVERIFY(f.messages.isEmpty());
    QFile out(f.dir.filePath("_chat.txt"));
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(),
             cp932::encode(QStringLiteral("ぽぷる の発言：\r\n\t\tこんにちは\r\n"
                                          "ぴのこ の発言：\r\n\t\tやあ\r\n")));
    QCOMPARE(f.state.selection.selectedCount, 0);
    QCOMPARE(f.text("lblCnt"), QStringLiteral("0"));
    QCOMPARE(f.text("lblChange"), QString());
    QCOMPARE(f.window->statusText(), NothingSelected);
    QVERIFY(!f.find<QProgressBar>("PBar")->isVisible());
    QVERIFY(f.window->centralWidget()->isEnabled());
    QVERIFY(f.find<QAction>("mnuRun__")->isEnabled());

    // Running again with nothing selected only complains.
    f.trigger("mnuRun");
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].title, QStringLiteral("ごるぁ"));
}

void TestMainWindow::dialogsStayUsableWhileWindowIsBlocked()
{
    MainWindowFixture f;
    f.start();
    QDialog dialog(f.window.get());
    f.window->beginProgressDisplay();
    QVERIFY(f.find<QProgressBar>("PBar")->isVisible());
    QVERIFY(!f.window->centralWidget()->isEnabled());
    QVERIFY(!f.find<QAction>("mnuFileOpen__")->isEnabled());
    QVERIFY(dialog.isEnabled());
    // The window cannot be closed meanwhile.
    QVERIFY(!f.window->close());
    f.window->endProgressDisplay();
    QVERIFY(f.window->centralWidget()->isEnabled());
    QVERIFY(!f.find<QProgressBar>("PBar")->isVisible());
}

void TestMainWindow::commandLineStart_data()
{
    QTest::addColumn<QString>("speedUp");
    QTest::newRow("normal") << "0";
    QTest::newRow("fast, window hidden") << "1";
}

void TestMainWindow::commandLineStart()
{
    MainWindowFixture f;
    f.preset("Window", "Top", "300");
    f.preset("Window", "Left", "450");
    f.preset("Speed", "UP", QTest::currentDataTag() == QByteArray("normal") ? "0" : "1");
    const QString a = f.chatLog("a.txt");
    const QString b = f.chatLog("b b.txt");
    QVERIFY(f.start({u'"' + a + u'"', u'"' + b + u'"'}));
    QCOMPARE(f.shows, 0);
    QVERIFY(!f.window->isVisible());
    QVERIFY(f.messages.isEmpty());
    QVERIFY(QFile::exists(f.dir.filePath("_a.txt")));
    QVERIFY(QFile::exists(f.dir.filePath("_b b.txt")));
    QCOMPARE(f.stored("Window", "Top"), QStringLiteral("300"));
    QCOMPARE(f.stored("Window", "Left"), QStringLiteral("450"));
    QCOMPARE(f.stored("DefaultDir", "Dir"), f.dir.path() + u'/');
}

void TestMainWindow::commandLineWithoutLogsStartsNormally()
{
    MainWindowFixture f;
    QVERIFY(!f.start({QStringLiteral("\"picture.png\""), QStringLiteral("  ")}));
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.text("lblCnt"), QStringLiteral("0"));
}

void TestMainWindow::shutdown_data()
{
    QTest::addColumn<bool>("minimised");
    QTest::addColumn<bool>("rulesOn");
    QTest::newRow("normal, rules off") << false << false;
    QTest::newRow("minimised keeps the position") << true << true;
}

void TestMainWindow::shutdown()
{
    QFETCH(bool, minimised);
    QFETCH(bool, rulesOn);
    MainWindowFixture f;
    f.preset("Window", "Top", "150");
    f.preset("Window", "Left", "300");
    f.preset("MsgRule", "Enable", rulesOn ? "0" : "1");
    f.start();
    QSignalSpy done(f.window.get(), &MainWindow::shutDownDone);
    f.window->move(40, 30);
    if (minimised)
        f.window->setWindowState(Qt::WindowMinimized);
    f.find<QAction>("mnuRuleEna")->trigger();
    f.trigger("mnuClose");
    QCOMPARE(done.size(), 1);
    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.stored("Window", "Top"), minimised ? QStringLiteral("150") : QStringLiteral("450"));
    QCOMPARE(f.stored("Window", "Left"), minimised ? QStringLiteral("300") : QStringLiteral("600"));
    QCOMPARE(f.stored("MsgRule", "Enable"), rulesOn ? QStringLiteral("1") : QStringLiteral("0"));
}

void TestMainWindow::ruleToggleMessages()
{
    MainWindowFixture f;
    f.start();
    QCOMPARE(f.state.settings.msgRuleEnable, 1);
    f.trigger("mnuRuleEna");
    QCOMPARE(f.state.settings.msgRuleEnable, 0);
    f.trigger("mnuRuleEna");
    QCOMPARE(f.state.settings.msgRuleEnable, 1);
    QCOMPARE(f.messages.size(), 2);
    QCOMPARE(f.messages[0].prompt, QStringLiteral("メッセージルールを無効にしました。Σ(・Д・)"));
    QCOMPARE(f.messages[1].prompt, QStringLiteral("メッセージルールを有効にしました。(ﾟ∀ﾟﾉﾉ☆"));
    for (const auto &message : f.messages) {
        QCOMPARE(message.icon, RunHost::Icon::Information);
        QCOMPARE(message.title, QStringLiteral("ルール適用"));
    }
}

void TestMainWindow::shortcuts()
{
    MainWindowFixture f;
    f.start();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keyClick(f.window.get(), Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(f.messages.size(), 1); // nothing selected
    QTest::keyClick(f.window.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(f.dialogDirs.size(), 1);
    QString caption;
    whenModal([&](QWidget *modal) {
        caption = modal->windowTitle();
        static_cast<QDialog *>(modal)->reject();
    });
    QTest::keyClick(f.window.get(), Qt::Key_H, Qt::ControlModifier);
    QCOMPARE(caption, QStringLiteral("簡単な説明 Ver2.00"));
    QSignalSpy done(f.window.get(), &MainWindow::shutDownDone);
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keyClick(f.window.get(), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(done.size(), 1);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
