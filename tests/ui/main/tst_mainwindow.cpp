#include "fileio/filename.h"
#include "mainwindowfixture.h"
#include "support/files.h"
#include "support/filesizelimit.h"
#include "ui/main/guistart.h"
#include "ui/uiutil.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDropEvent>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
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
#include <algorithm>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

const QString NothingSelected = QStringLiteral("ファイルを洗濯しれっ(゜▽、゜)y－~~~");
const QString ReadyToRun = QStringLiteral("はよ実行しれっ(´･ω･`)つ[実行っ]");

void drop(QTextEdit *box, const QStringList &paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box->viewport(), &enter);
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box->viewport(), &event);
}

// Colour and weight of every character of preview line `line`, its leading TAB left out.
void checkLine(const QTextEdit *box, int line, const QString &color, bool bold)
{
    const QTextBlock block = box->document()->findBlockByNumber(line);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        if (it.fragment().text() == u"\t")
            continue;
        const QTextCharFormat format = it.fragment().charFormat();
        QCOMPARE(format.foreground().color().name().toUpper(), color);
        QCOMPARE(format.fontWeight() == QFont::Bold, bold);
    }
}

QWidget *topLevel(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible())
            return w;
    }
    return nullptr;
}

// Calls `answer` with the top-level widget named `name` once it shows up, while in scope.
class WhenShown
{
public:
    WhenShown(const QString &name, std::function<void(QWidget *)> answer)
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this, name, answer] {
            if (QWidget *w = topLevel(name)) {
                m_poll.stop();
                answer(w);
            }
        });
        m_poll.start(10);
    }
    void again() { m_poll.start(10); }

private:
    QTimer m_poll;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void firstStart();
    void startWithStoredSettings();
    void selections_data();
    void selections();
    void outputKindAndPreview_data();
    void outputKindAndPreview();
    void fileView_data();
    void fileView();
    void runsFromTheMenu_data();
    void runsFromTheMenu();
    void runsOfSeveralLogs_data();
    void runsOfSeveralLogs();
    void mergesTheSelection();
    void dialogsOverTheBlockedWindow();
    void commandLineStart_data();
    void commandLineStart();
    void commandLineNameNotUtf8();
    void shutdown_data();
    void shutdown();
    void settingsFileTrouble_data();
    void settingsFileTrouble();
    void ruleToggleAndShortcuts();
    void pageMenu();
    void keyboardMovesAndPresses();
    void fastRunWithAMessageKeepsTheProgram();
    void encodingMenu();
    void timeZoneMenu();
    void desktopIdentity();
};

// "文字コード": one choice of four, shown from the settings file and stored when chosen.
void TestMainWindow::encodingMenu()
{
    MainWindowFixture f;
    f.preset("MojiCode", "Log", "UTF-8");
    f.start();
    auto *menu = f.find<QMenu>("mnuEncoding");
    QCOMPARE(menu->title(), QStringLiteral("文字コード(&E)"));
    QCOMPARE(f.find<QMenu>("mnuSettings")->actions().contains(menu->menuAction()), true);
    for (const QAction *item : f.find<QMenu>("mnuSettings")->actions())
        QVERIFY2(item->isSeparator() || item->text().contains(u'&'), qPrintable(item->text()));
    QStringList captions;
    for (QAction *item : menu->actions())
        captions.append(item->text() + (item->isChecked() ? u"*" : u""));
    QCOMPARE(captions, (QStringList {"自動", "Shift-JIS", "UTF-8*", "UTF-16"}));
    f.trigger("mnuEncodingUtf16");
    QVERIFY(!f.find<QAction>("mnuEncodingUtf8")->isChecked());
    QCOMPARE(f.stored("MojiCode", "Log"), QStringLiteral("UTF-16"));
}

// "時刻帯": the PC's own zone unless the settings file names one; a zone the list lacks is
// offered as it was stored; a choice is stored when made.
void TestMainWindow::timeZoneMenu()
{
    MainWindowFixture f;
    f.preset("Page", "TimeZone", "Europe/Paris");
    f.start();
    auto *menu = f.find<QMenu>("mnuTimeZone");
    QCOMPARE(menu->title(), QStringLiteral("時刻帯(&T)"));
    QVERIFY(!f.find<QAction>("mnuTimeZoneSystem")->isChecked());
    QAction *stored = f.find<QAction>("mnuTimeZoneStored");
    QCOMPARE(stored->text(), QStringLiteral("Europe/Paris"));
    QVERIFY(stored->isChecked());
    f.trigger("mnuTimeZone_Asia/Tokyo");
    QVERIFY(!stored->isChecked());
    QCOMPARE(f.stored("Page", "TimeZone"), QStringLiteral("Asia/Tokyo"));
}

// The desktop learns which desktop file the windows belong to, and the window shows the
// program's own icon, drawn from its SVG (the speaker mark in the bubble's top left corner).
void TestMainWindow::desktopIdentity()
{
    ui::identifyToDesktop();
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("pelorin"));
    MainWindowFixture f;
    f.start();
    const QImage icon = f.window->windowIcon().pixmap(QSize(48, 48)).toImage();
    QCOMPARE(icon.size(), QSize(48, 48));
    QCOMPARE(icon.pixelColor(12, 11).name(), QStringLiteral("#ae00ae"));
}

void TestMainWindow::firstStart()
{
    MainWindowFixture f;
    QVERIFY(!f.start());
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.window->pos(), QPoint(0, 0));
    QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
    QVERIFY(f.find<QRadioButton>("optP0")->isChecked());
    QCOMPARE(f.text("lblCnt"), QStringLiteral("0"));
    QCOMPARE(f.text("lblChange"), QString());
    QCOMPARE(f.window->statusText(), NothingSelected);
    QVERIFY(!f.find<QProgressBar>("PBar")->isVisible());
    QCOMPARE(f.stored("Window", "Top"), QStringLiteral("0")); // the file holds every key
    QCOMPARE(f.stored("MsgRule", "Enable"), QStringLiteral("1"));
    QCOMPARE(f.stored("JavaScript", "文字の太さ変更"), QStringLiteral("いらない"));
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
    QCOMPARE(f.window->pos(), QPoint(100, 50));
    QVERIFY(f.find<QRadioButton>("optP1")->isChecked());
    QVERIFY(f.find<QCheckBox>("chkPos")->isChecked());
    QVERIFY(f.window->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!f.find<QAction>("mnuRuleEna")->isChecked());
}

void TestMainWindow::selections_data()
{
    // Steps: "d:a.txt,b.txt" picks files in the dialog (empty: cancelled), "r:…" drops them.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("dir"); // defaultDir under the test folder, "-" unchanged
    QTest::addColumn<QString>("status"); // empty: the usual one for the count

    QTest::newRow("dialog: one") << QStringList {"d:chat.TXT"} << 1 << "_chat.txt"
                                 << ""
                                 << "";
    QTest::newRow("dialog: several, first chosen shown")
        << QStringList {"d:b.txt,a.txt,c.xml"} << 3 << "_b.txt"
        << ""
        << "";
    QTest::newRow("dialog: same file twice")
        << QStringList {"d:chat.txt", "d:chat.txt"} << 1 << "_chat.txt"
        << ""
        << "";
    QTest::newRow("dialog: accumulates")
        << QStringList {"d:b.txt", "d:a.txt,b.txt"} << 2 << "_a.txt"
        << ""
        << "";
    QTest::newRow("dialog: cancelled") << QStringList {"d:"} << 0 << ""
                                       << "-"
                                       << "";
    QTest::newRow("dialog: cancel keeps") << QStringList {"d:x/chat.txt", "d:"} << 1 << "_chat.txt"
                                          << "x/"
                                          << "";
    QTest::newRow("drop: one") << QStringList {"r:chat.TXT"} << 1 << "_chat.txt"
                               << ""
                               << "";
    QTest::newRow("drop: first in order shown") << QStringList {"r:b.xml,a.txt"} << 2 << "_a.txt"
                                                << ""
                                                << "";
    QTest::newRow("drop: duplicate") << QStringList {"d:chat.txt", "r:chat.txt"} << 1 << "_chat.txt"
                                     << ""
                                     << "";
    QTest::newRow("drop: only images") << QStringList {"r:a.png,b.jpg"} << 0 << ""
                                       << "-"
                                       << "";
    QTest::newRow("drop: images keep earlier")
        << QStringList {"d:x/chat.txt", "r:a.png"} << 1 << "_chat.txt"
        << "x/"
        << "";
    QTest::newRow("drop: blank in a folder")
        << QStringList {"r:my logs/x.txt,y.txt"} << 2 << "_x.txt"
        << "my logs/"
        << "";
    // The folder "logs" holds a.txt, b.XML, _a.txt (an output), notes.png and sub/c.txt.
    QTest::newRow("drop: a folder, its own logs")
        << QStringList {"r:logs"} << 2 << "_a.txt"
        << "logs/"
        << "フォルダから 2 件のログを加えました（下のフォルダは含みません）";
    QTest::newRow("drop: a folder with a file")
        << QStringList {"r:logs/sub,chat.txt"} << 2 << "_chat.txt"
        << ""
        << "フォルダから 1 件のログを加えました（下のフォルダは含みません）";
    QTest::newRow("drop: a folder without logs")
        << QStringList {"d:chat.txt", "r:logs/empty"} << 1 << "_chat.txt"
        << ""
        << "フォルダにログ（.txt・.xml・.json・.csv・.tar・."
           "zip）がありませんでした（下のフォルダは見ません）";
}

void TestMainWindow::selections()
{
    QFETCH(QStringList, steps);
    QFETCH(int, count);
    QFETCH(QString, dir);
    QFETCH(QString, status);
    MainWindowFixture f;
    f.start();
    for (const char *name :
         {"logs/a.txt", "logs/b.XML", "logs/_a.txt", "logs/notes.png", "logs/sub/c.txt"})
        writeFile(f.dir.filePath(QString::fromLatin1(name)), "x");
    QVERIFY(QDir(f.dir.path()).mkpath(QStringLiteral("logs/empty")));
    const QString startDir = f.state.settings.defaultDir;
    for (const QString &step : steps) {
        const QStringList names = step.mid(2).split(u',', Qt::SkipEmptyParts);
        if (step.startsWith(u'd')) {
            f.dialogAnswers.append(f.paths(names));
            f.trigger("mnuFileOpen");
        } else {
            drop(f.find<QTextEdit>("rTxt"), f.paths(names));
        }
    }
    QCOMPARE(f.state.selection.selectedCount(), count);
    QCOMPARE(f.text("lblCnt"), QString::number(count));
    QTEST(f.text("lblChange"), "label");
    QCOMPARE(f.window->statusText(),
             !status.isEmpty() ? status
                 : count       ? ReadyToRun
                               : NothingSelected);
    QCOMPARE(f.state.settings.defaultDir, dir == u"-" ? startDir : f.dir.path() + u'/' + dir);
    QCOMPARE(f.find<QTextEdit>("rTxt")->document()->blockCount(), 6); // the box took nothing
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
    f.dialogAnswers.append(f.paths({"chat.TXT"}));
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

void TestMainWindow::fileView_data()
{
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<QString>("label");
    QTest::newRow("nothing selected") << QStringList() << QList<int>() << "";
    QTest::newRow("first and third")
        << QStringList {"c.txt", "a.txt", "b.txt"} << QList<int> {0, 2} << "_b.txt";
    QTest::newRow("all") << QStringList {"a.txt", "b.txt"} << QList<int> {0, 1} << "";
    QTest::newRow("none checked") << QStringList {"b.txt", "a.txt"} << QList<int>() << "_a.txt";
}

void TestMainWindow::fileView()
{
    QFETCH(QStringList, selected);
    QFETCH(QList<int>, checked);
    MainWindowFixture f;
    f.start();
    f.dialogAnswers.append(f.paths(selected));
    f.trigger("mnuFileOpen");
    bool opened = false;
    WhenShown answer("frmFile", [&](QWidget *dialog) {
        opened = true;
        auto *list = control<QListWidget>(dialog, QStringLiteral("List1"));
        QCOMPARE(list->count(), selected.size());
        list->setCurrentRow(0);
        for (int i : checked)
            list->item(i)->setCheckState(Qt::Checked);
        control<QPushButton>(dialog, QStringLiteral("cmdDel"))->click();
        control<QPushButton>(dialog, QStringLiteral("cmdCancel"))->click();
    });
    f.find<QPushButton>("cmdFileView")->click();
    QCOMPARE(opened, !selected.isEmpty());
    const int left = int(selected.size() - checked.size());
    QCOMPARE(f.text("lblCnt"), QString::number(left));
    QTEST(f.text("lblChange"), "label");
    QCOMPARE(f.window->statusText(), left ? ReadyToRun : NothingSelected);
    if (selected.isEmpty()) {
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(f.messages[0].prompt, QStringLiteral("先にファイルを選択しれっつの（℃ ヽ(`Д´)ﾉ "));
        QCOMPARE(f.messages[0].title, QStringLiteral("ごるぁ"));
    } else {
        QVERIFY(f.messages.isEmpty());
    }
}

void TestMainWindow::runsFromTheMenu_data()
{
    QTest::addColumn<int>("changeType");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("modern"); // modern page and index chosen in the menu
    QTest::newRow("text") << 0 << "_chat.txt" << false;
    QTest::newRow("html, colours confirmed") << 1 << "_chat.htm" << false;
    QTest::newRow("modern html with an index") << 1 << "_chat.htm" << true;
}

void TestMainWindow::runsFromTheMenu()
{
    QFETCH(int, changeType);
    QFETCH(QString, output);
    QFETCH(bool, modern);
    MainWindowFixture f;
    f.preset("ChangeType", "type", QString::number(changeType));
    f.start();
    if (modern) {
        f.trigger("mnuPageModern");
        f.trigger("mnuIndex");
    }
    drop(f.find<QTextEdit>("rTxt"), {f.chatLog("chat.txt")});
    bool disabledMeanwhile = false;
    WhenShown answer("frmColorSet", [&](QWidget *dialog) {
        disabledMeanwhile = !f.window->centralWidget()->isEnabled();
        control<QPushButton>(dialog, QStringLiteral("cmdOk"))->click();
    });
    f.trigger("mnuRun");
    QVERIFY(f.messages.isEmpty());
    QFile out(f.dir.filePath(output));
    QVERIFY(out.open(QIODevice::ReadOnly));
    if (changeType == 0) {
        QCOMPARE(out.readAll(),
                 cp932::encode(QStringLiteral("ぽぷる の発言：\r\n\t\tこんにちは\r\n"
                                              "ぴのこ の発言：\r\n\t\tやあ\r\n")));
    } else {
        QVERIFY(disabledMeanwhile);
        const QByteArray page = out.readAll();
        QVERIFY(page.contains("AE00AE"));
        QCOMPARE(page.startsWith("<!DOCTYPE html>"), modern);
        QCOMPARE(QFile::exists(f.dir.filePath("_index.htm")), modern);
    }
    QCOMPARE(f.state.selection.selectedCount(), 0);
    QCOMPARE(f.text("lblCnt"), QStringLiteral("0"));
    QCOMPARE(f.text("lblChange"), QString());
    QCOMPARE(f.window->statusText(), NothingSelected);
    QVERIFY(!f.find<QProgressBar>("PBar")->isVisible());
    QVERIFY(f.window->centralWidget()->isEnabled());
    QVERIFY(f.find<QAction>("mnuRun__")->isEnabled());
}

void TestMainWindow::runsOfSeveralLogs_data()
{
    // Logs a.txt, b.txt, c.txt; "b" has no speaker header when `bad` says so. `answers`: one
    // per colour dialog, "ok", "rest" or "close".
    QTest::addColumn<int>("changeType");
    QTest::addColumn<bool>("bad");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QString>("status");
    const QString title = QStringLiteral("%1（%2 / 3） - 個別に文字色を選択");
    QTest::newRow("text, one without speakers")
        << 0 << true << QStringList() << QStringList()
        << "3 件中 2 件を書き出しました　最初の失敗：b.txt：発言者が一人も見つかりませんでした。";
    QTest::newRow("html, OK for each")
        << 1 << false << QStringList {"ok", "ok", "ok"}
        << QStringList {title.arg("a.txt").arg(1), title.arg("b.txt").arg(2),
                        title.arg("c.txt").arg(3)}
        << "3 件中 3 件を書き出しました";
    QTest::newRow("html, these colours for the rest")
        << 1 << false << QStringList {"rest"} << QStringList {title.arg("a.txt").arg(1)}
        << "3 件中 3 件を書き出しました";
    QTest::newRow("html, closed on the second")
        << 1 << false << QStringList {"ok", "close"}
        << QStringList {title.arg("a.txt").arg(1), title.arg("b.txt").arg(2)}
        << "3 件中 1 件を書き出しました";
}

void TestMainWindow::runsOfSeveralLogs()
{
    QFETCH(int, changeType);
    QFETCH(bool, bad);
    QFETCH(QStringList, answers);
    MainWindowFixture f;
    f.preset("ChangeType", "type", QString::number(changeType));
    f.start();
    const QStringList logs = {f.chatLog("a.txt"), f.chatLog("b.txt"), f.chatLog("c.txt")};
    if (bad)
        writeFile(logs[1], "no header here\r\n");
    drop(f.find<QTextEdit>("rTxt"), logs);

    QStringList titles;
    QList<int> progress;
    auto *bar = f.find<QProgressBar>("PBar");
    QObject::connect(bar, &QProgressBar::valueChanged, bar,
                     [&](int value) { progress.append(value * 1000 / qMax(1, bar->maximum())); });
    WhenShown answer("frmColorSet", [&](QWidget *dialog) {
        titles.append(dialog->windowTitle());
        const QString said = answers.value(titles.size() - 1);
        QCOMPARE(dialog->findChild<QPushButton *>(QStringLiteral("cmdRest")) != nullptr,
                 titles.size() < 3);
        if (said == u"close")
            dialog->close();
        else
            control<QPushButton>(
                dialog, said == u"rest" ? QStringLiteral("cmdRest") : QStringLiteral("cmdOk"))
                ->click();
        if (said != u"rest") // the poll stops after an answer; ask again for the next log
            answer.again();
    });
    f.trigger("mnuRun");
    QTEST(titles, "titles");
    QTEST(f.window->statusText(), "status");
    QVERIFY(std::is_sorted(progress.begin(), progress.end())); // one bar over the whole run
    auto *link = f.find<QLabel>("lnkOutput");
    const bool written = !f.window->statusText().contains(u"中 0 件");
    QCOMPARE(link->isVisible(), written);
    QCOMPARE(link->text().contains(QUrl::fromLocalFile(f.dir.path()).toString()), written);
    drop(f.find<QTextEdit>("rTxt"), {logs[0]}); // the report lasts until the next step
    QVERIFY(!link->isVisible());
}

// Exports of one chat as one output: asked for two logs at least, then written once.
void TestMainWindow::mergesTheSelection()
{
    MainWindowFixture f;
    f.preset("ChangeType", "type", "0");
    f.start();
    const QStringList logs = {f.chatLog("a.txt"), f.chatLog("b.txt")};
    drop(f.find<QTextEdit>("rTxt"), {logs[0]});
    QCOMPARE(f.find<QAction>("mnuMerge")->text(),
             QStringLiteral("選んだログを一つのチャットにまとめる(&J)"));
    f.trigger("mnuMerge");
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(
        f.messages[0].prompt,
        QStringLiteral("一つのチャットにまとめるには、同じチャットのログを二つ以上選んで下さい。"));
    drop(f.find<QTextEdit>("rTxt"), logs);
    f.trigger("mnuMerge");
    QVERIFY(QFile::exists(f.dir.filePath("_a_merged.txt")));
    QVERIFY(!QFile::exists(f.dir.filePath("_a.txt")));
    // The next run converts each log again.
    drop(f.find<QTextEdit>("rTxt"), logs);
    f.trigger("mnuRun");
    QVERIFY(QFile::exists(f.dir.filePath("_a.txt")));
    QVERIFY(QFile::exists(f.dir.filePath("_b.txt")));
}

void TestMainWindow::dialogsOverTheBlockedWindow()
{
    MainWindowFixture f;
    f.start();
    // During a run the settings dialog opened over the window stays usable; one at most.
    f.window->beginProgressDisplay();
    QVERIFY(f.find<QProgressBar>("PBar")->isVisible());
    QVERIFY(!f.window->centralWidget()->isEnabled());
    QVERIFY(!f.window->close());
    f.window->openSettingsDialog();
    f.window->openSettingsDialog();
    QCOMPARE(f.window->findChildren<QDialog *>("frmSet").size(), 1);
    QVERIFY(control<QDialog>(f.window.get(), QStringLiteral("frmSet"))->isEnabled());
    delete f.window->findChild<QDialog *>("frmSet");
    f.window->endProgressDisplay();
    QVERIFY(f.window->centralWidget()->isEnabled());

    // The rule list blocks the window until it closes.
    f.trigger("mnuRuleSet");
    QWidget *rules = topLevel("frmRule");
    QVERIFY(rules && rules->isEnabled());
    QVERIFY(!f.window->centralWidget()->isEnabled());
    QVERIFY(!f.find<QAction>("mnuRun__")->isEnabled());
    QVERIFY(!f.window->close());
    rules->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!topLevel("frmRule"));
    QVERIFY(f.window->centralWidget()->isEnabled());
}

void TestMainWindow::commandLineStart_data()
{
    QTest::addColumn<QString>("speedUp");
    QTest::addColumn<bool>("logs");
    QTest::newRow("two quoted logs") << "0" << true;
    QTest::newRow("two logs, fast") << "1" << true;
    QTest::newRow("no log among the arguments") << "0" << false;
}

void TestMainWindow::commandLineStart()
{
    QFETCH(bool, logs);
    MainWindowFixture f;
    f.preset("Window", "Top", "300");
    f.preset("Window", "Left", "450");
    QFETCH(QString, speedUp);
    f.preset("Speed", "UP", speedUp);
    const QStringList arguments = logs
        ? QStringList {u'"' + f.chatLog("a.txt") + u'"', u'"' + f.chatLog("b b.txt") + u'"'}
        : QStringList {QStringLiteral("\"x.png\""), u" "_qs};
    QCOMPARE(f.start(arguments), logs);
    if (!logs) {
        QVERIFY(f.window->isVisible());
        return;
    }
    QVERIFY(!f.window->windowHandle()); // never shown
    QVERIFY(f.messages.isEmpty());
    QVERIFY(QFile::exists(f.dir.filePath("_a.txt")));
    QVERIFY(QFile::exists(f.dir.filePath("_b b.txt")));
    QCOMPARE(f.stored("Window", "Top"), QStringLiteral("300"));
    QCOMPARE(f.stored("Window", "Left"), QStringLiteral("450"));
    QCOMPARE(f.stored("DefaultDir", "Dir"), f.dir.path() + u'/');
}

// A Shift-JIS file name from the command line is read, and its output keeps its bytes.
void TestMainWindow::commandLineNameNotUtf8()
{
    MainWindowFixture f;
    const QByteArray dir = QFile::encodeName(f.dir.path()) + '/';
    const QByteArray log = dir + "\x83\x8d\x83O.txt", out = dir + "_\x83\x8d\x83O.txt";
    QVERIFY(QFile::copy(f.chatLog("a.txt"), f.dir.filePath("copy")));
    QCOMPARE(::rename(QByteArray(dir + "copy").constData(), log.constData()), 0);
    QVERIFY(f.start({fileio::decodeName(log)}));
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(::unlink(out.constData()), 0);
    QCOMPARE(::unlink(log.constData()), 0);
}

void TestMainWindow::shutdown_data()
{
    QTest::addColumn<bool>("minimised");
    QTest::addColumn<bool>("rulesOn");
    QTest::newRow("normal, rules turned off") << false << false;
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
    f.trigger("mnuRuleEna");
    f.trigger("mnuClose");
    QCOMPARE(done.size(), 1);
    QCOMPARE(f.stored("Window", "Top"), minimised ? u"150"_qs : u"450"_qs);
    QCOMPARE(f.stored("Window", "Left"), minimised ? u"300"_qs : u"600"_qs);
    QCOMPARE(f.stored("MsgRule", "Enable"), rulesOn ? u"1"_qs : u"0"_qs);
}

// A save that fails (a full disk) or a file that cannot be read is said, and the file is
// never replaced.
void TestMainWindow::settingsFileTrouble_data()
{
    QTest::addColumn<int>("limitedAt"); // 0: start-up, 1: shut-down, -1: no limit
    QTest::addColumn<bool>("folder"); // the settings file is a folder
    QTest::addColumn<bool>("log"); // a log on the command line
    QTest::addColumn<QString>("message");
    const QString written = QStringLiteral("設定ファイルに書き込めなかったよ…\n%1\n");
    const QString read = QStringLiteral("設定ファイルを読み込めなかったよ…\n%1\n");
    QTest::newRow("start-up save")
        << 0 << false << false << written + u"設定はこのまま使えるけど、保存はされてないからね";
    QTest::newRow("shut-down save")
        << 1 << false << false << written + u"設定は保存されてないからね";
    QTest::newRow("unreadable") << -1 << true << false
                                << read + u"既定の設定で動くけど、このファイルには保存しないからね";
    QTest::newRow("unreadable, command line")
        << -1 << true << true << read + u"ログは変換しないからね";
}

void TestMainWindow::settingsFileTrouble()
{
    QFETCH(int, limitedAt);
    QFETCH(bool, folder);
    QFETCH(bool, log);
    MainWindowFixture f;
    f.preset("Window", "Top", "300");
    if (folder) {
        f.state.settings.iniPath = f.dir.filePath("folder.ini");
        QVERIFY(QDir(f.dir.path()).mkdir("folder.ini"));
    }
    const auto bytes = [&f] {
        QFile file(f.state.settings.iniPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QByteArray before = bytes();
    std::optional<FileSizeLimit> full;
    if (limitedAt == 0)
        full.emplace(64);
    QCOMPARE(f.start(log ? QStringList {f.chatLog("a.txt")} : QStringList {}), log);
    full.reset();
    if (limitedAt == 1) {
        before = bytes();
        full.emplace(64);
    }
    if (!log && limitedAt != 0)
        f.trigger("mnuClose");
    full.reset();
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].title, folder ? u"読み込めないっす"_qs : u"保存できないっす"_qs);
    QFETCH(QString, message);
    QCOMPARE(f.messages[0].prompt, message.arg(f.state.settings.iniPath));
    QCOMPARE(bytes(), before);
    QVERIFY(!QFile::exists(f.dir.filePath("_a.txt")));
}

void TestMainWindow::pageMenu()
{
    MainWindowFixture f;
    f.preset("Page", "Style", "modern");
    f.preset("Page", "Index", "1");
    f.preset("Redact", "Yes", "1");
    f.preset("Provenance", "Yes", "1");
    f.start();
    QCOMPARE(f.find<QMenu>("mnuPage")->title(), QStringLiteral("ページの形(&P)"));
    QCOMPARE(f.find<QAction>("mnuPageClassic")->text(), QStringLiteral("クラシック"));
    QCOMPARE(f.find<QAction>("mnuPageModern")->text(), QStringLiteral("モダン"));
    QCOMPARE(f.find<QAction>("mnuIndex")->text(), QStringLiteral("一覧ページも作る(&I)"));
    QVERIFY(f.find<QAction>("mnuPageModern")->isChecked());
    QVERIFY(f.find<QAction>("mnuIndex")->isChecked());
    QCOMPARE(f.find<QAction>("mnuRedact")->text(),
             QStringLiteral("人名や電話番号を伏せ字にする(&F)"));
    QVERIFY(f.find<QAction>("mnuRedact")->isChecked());
    QCOMPARE(f.find<QAction>("mnuProvenance")->text(),
             QStringLiteral("クラシックのページとテキストにも出典を記す(&V)"));
    QVERIFY(f.find<QAction>("mnuProvenance")->isChecked());
    f.trigger("mnuPageClassic");
    QVERIFY(!f.find<QAction>("mnuPageModern")->isChecked()); // a radio group
    f.trigger("mnuIndex");
    f.trigger("mnuRedact");
    f.trigger("mnuProvenance");
    // Stored at once: a start from "Open with" meanwhile converts with what the window shows.
    QCOMPARE(f.stored("Page", "Style"), QStringLiteral("classic"));
    QCOMPARE(f.stored("Page", "Index"), QStringLiteral("0"));
    QCOMPARE(f.stored("Redact", "Yes"), QStringLiteral("0"));
    QCOMPARE(f.stored("Provenance", "Yes"), QStringLiteral("0"));
}

void TestMainWindow::ruleToggleAndShortcuts()
{
    MainWindowFixture f;
    f.start();
    f.trigger("mnuRuleEna");
    f.trigger("mnuRuleEna");
    QCOMPARE(f.state.settings.msgRuleEnable, 1);
    QCOMPARE(f.messages.size(), 2);
    QCOMPARE(f.messages[0].prompt, QStringLiteral("メッセージルールを無効にしました。Σ(・Д・)"));
    QCOMPARE(f.messages[1].prompt, QStringLiteral("メッセージルールを有効にしました。(ﾟ∀ﾟﾉﾉ☆"));
    QCOMPARE(f.messages[1].icon, QMessageBox::Information);
    QCOMPARE(f.messages[1].title, QStringLiteral("ルール適用"));

    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keyClick(f.window.get(), Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(f.messages.size(), 3); // nothing selected
    QCOMPARE(f.messages[2].prompt, QStringLiteral("先にファイルを選択しれっつの（℃ ヽ(`Д´)ﾉ "));
    QVERIFY(f.messages[2].windowUsable);
    QTest::keyClick(f.window.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(f.dialogDirs.size(), 1);
    QString caption;
    WhenShown answer("frmHelp", [&](QWidget *help) {
        caption = help->windowTitle();
        help->close();
    });
    QTest::keyClick(f.window.get(), Qt::Key_H, Qt::ControlModifier);
    QCOMPARE(caption, QStringLiteral("簡単な説明 Ver2.00"));
    QSignalSpy done(f.window.get(), &MainWindow::shutDownDone);
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keyClick(f.window.get(), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(done.size(), 1);
}

void TestMainWindow::keyboardMovesAndPresses()
{
    MainWindowFixture f;
    f.start();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    auto *fileView = f.find<QPushButton>("cmdFileView");
    fileView->setFocus(Qt::TabFocusReason);
    QWidgetList visited;
    do {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget());
    } while (visited.last() != fileView && visited.size() < 10);
    QCOMPARE(visited.last(), fileView); // round the controls and back
    QVERIFY(!visited.contains(f.find<QWidget>("Text1")));

    QTest::keyClick(fileView, Qt::Key_Return);
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].title, QStringLiteral("ごるぁ"));
}

// The program's own start: a fast run hides the window, and a message box closing meanwhile
// is not the last window going away; the program goes on until its window is closed.
void TestMainWindow::fastRunWithAMessageKeepsTheProgram()
{
    MainWindowFixture f;
    f.preset("Speed", "UP", "1");
    const QString good = f.chatLog("a.txt");
    const QString speakerless = f.dir.filePath("b.txt");
    QFile(speakerless).open(QIODevice::WriteOnly);
    QStringList seen; // message boxes and dialogs that came up, closed at once
    bool stillRunning = false;
    QTimer user;
    connect(&user, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->objectName() != u"frmMain") {
                auto *box = qobject_cast<QMessageBox *>(w);
                seen.append(box ? box->windowTitle() : w->objectName());
                w->close();
            }
        }
    });
    user.start(20);
    QTimer::singleShot(0, [&] {
        QWidget *main = topLevel("frmMain");
        QVERIFY(main);
        drop(control<QTextEdit>(main, QStringLiteral("rTxt")), {good, speakerless});
        control<QAction>(main, QStringLiteral("mnuRun"))->trigger();
        QVERIFY(main->isVisible());
        QTimer::singleShot(200, [&, main] {
            stillRunning = true;
            main->close();
        });
    });
    QCOMPARE(runGui(*qApp, f.state.settings.iniPath, {}), 0);
    QVERIFY(stillRunning);
    QVERIFY(seen.contains(QStringLiteral("ログ解析エラー")));
    QVERIFY(QFile::exists(f.dir.filePath("_a.txt")));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
