#include "engine/appstate.h"
#include "settings/inifile.h"
#include "settings/settings.h"
#include "ui/settings/colorchart.h"
#include "ui/settings/dialogsupport.h"
#include "ui/settings/opensettings.h"

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// QTest::keyClicks takes Latin-1 only; the dialog is typed into in Japanese.
void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// A check box reacts to clicks on its mark and caption only, not on the rest of its width.
void clickBox(QWidget *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

struct Shown
{
    QMessageBox::Icon icon;
    QString prompt;
    QString title;
};

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void headerRoundTrip_data();
    void headerRoundTrip();
    void scriptChoices_data();
    void scriptChoices();
    void optionsAndPaletteStored();
    void discardLeavesEverything_data();
    void discardLeavesEverything();
    void emptyHeaderOrPrefixRefused_data();
    void emptyHeaderOrPrefixRefused();
    void hexBox_data();
    void hexBox();
    void numberBoxLeft_data();
    void numberBoxLeft();
    void draggingBarRewritesItsDigits();
    void addNamesAndLimit_data();
    void addNamesAndLimit();
    void removeLimit_data();
    void removeLimit();
    void rename_data();
    void rename();
    void chartPicks();
    void chartCellColours_data();
    void chartCellColours();
    void listTooltipFollowsPointer();

private:
    QDialog *open();
    template<class T> T *child(const char *name)
    {
        T *w = m_dialog->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    void typeInto(QLineEdit *box, const QString &text);
    void leave(QLineEdit *box);
    void selectLine(int row);

    QTemporaryDir m_dir;
    AppState m_state;
    QPointer<QDialog> m_dialog;
    QList<Shown> m_messages;
    int m_saved = 0;
    QString m_fileAtSave;
};

void TestSettingsDialog::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    settingsui::setMessageHook([this](QMessageBox::Icon icon, const QString &p, const QString &t) {
        m_messages.append({icon, p, t});
    });
}

void TestSettingsDialog::init()
{
    m_state = AppState();
    Settings &s = m_state.settings;
    s.iniPath = m_dir.filePath(QStringLiteral("基本設定よ.ini"));
    QFile::remove(s.iniPath);
    s.headerMode = QStringLiteral("1");
    s.customHeader = QStringLiteral("さんの発言：");
    s.headerText = s.customHeader;
    s.addStr = QStringLiteral("_");
    s.bodyColor = QStringLiteral("#102030");
    s.narColor = QStringLiteral("#0000FF");
    s.jsBgColor = s.jsForeColor = s.jsFontBold = JsNotWanted;
    m_state.palette = colorcode::defaultPalette();
    s.colorCount = s.colorCountAtLoad = 8;
    m_messages.clear();
    m_saved = 0;
}

void TestSettingsDialog::cleanup()
{
    delete m_dialog;
}

QDialog *TestSettingsDialog::open()
{
    m_dialog = createSettingsDialog(
        m_state,
        [this] {
            ++m_saved;
            m_fileAtSave = readIniValue(m_state.settings.iniPath, "File", "AddStr");
        },
        nullptr);
    m_dialog->show();
    m_dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(m_dialog))
        qFatal("the settings dialog did not become active");
    return m_dialog;
}

void TestSettingsDialog::typeInto(QLineEdit *box, const QString &text)
{
    box->setFocus();
    box->selectAll();
    typeText(box, text);
}

void TestSettingsDialog::leave(QLineEdit *box)
{
    box->setFocus();
    child<QLineEdit>("Text1")->setFocus();
}

void TestSettingsDialog::selectLine(int row)
{
    auto *list = child<QListWidget>("lstColor");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

void TestSettingsDialog::headerRoundTrip_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("clicks"); // header options clicked, "type" types a header
    QTest::addColumn<QString>("wantMode");
    QTest::addColumn<QString>("wantHeader");
    QTest::addColumn<QString>("wantCustom");
    const QString standard = QStringLiteral(" の発言 :");
    const QString custom = QStringLiteral("さんの発言：");
    const QString typed = QStringLiteral(" 様の発言");
    QTest::newRow("custom kept") << "1" << QStringList() << "1" << custom << custom;
    QTest::newRow("custom replaced") << "1" << QStringList {"type"} << "1" << typed << typed;
    QTest::newRow("standard") << "0" << QStringList() << "0" << standard << custom;
    QTest::newRow("to custom") << "0" << QStringList {"1", "type"} << "1" << typed << typed;
    QTest::newRow("typed then back")
        << "0" << QStringList {"1", "type", "0"} << "0" << standard << custom;
}

void TestSettingsDialog::headerRoundTrip()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, clicks);
    m_state.settings.headerMode = mode;
    open();
    auto *txtHead = child<QLineEdit>("txtHead");
    QCOMPARE(txtHead->text(), QStringLiteral("さんの発言："));
    QCOMPARE(txtHead->isEnabled(), mode == "1");
    QCOMPARE(txtHead->palette().color(QPalette::Base),
             mode == "1" ? QColor(Qt::white) : QColor(224, 224, 224));
    for (const QString &step : clicks) {
        if (step == "type") {
            txtHead->selectAll();
            typeText(txtHead, QStringLiteral(" 様の発言"));
        } else {
            QTest::mouseClick(child<QRadioButton>(qPrintable("optHead_" + step)), Qt::LeftButton);
        }
        if (step == "1") // the whole text is selected, so typing replaces it
            QVERIFY(txtHead->hasFocus() && txtHead->selectedText() == txtHead->text());
    }
    QTest::mouseClick(child<QPushButton>("cmdOk"), Qt::LeftButton);

    const Settings &s = m_state.settings;
    QTEST(s.headerMode, "wantMode");
    QTEST(s.headerText, "wantHeader");
    QTEST(s.customHeader, "wantCustom");
    QTEST(readIniValue(s.iniPath, "Hatsugen", "Type"), "wantMode");
    QTRY_VERIFY(!m_dialog);
}

void TestSettingsDialog::scriptChoices_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("click");
    QTest::addColumn<bool>("wantChecked");
    QTest::addColumn<QString>("written");
    QTest::newRow("wanted") << "いる" << false << true << "いる";
    QTest::newRow("not wanted") << "いらない" << false << false << "いらない";
    QTest::newRow("yes is not wanted") << "yes" << false << false << "いらない";
    QTest::newRow("switched on") << "いらない" << true << false << "いる";
    QTest::newRow("switched off") << "いる" << true << true << "いらない";
}

void TestSettingsDialog::scriptChoices()
{
    QFETCH(QString, stored);
    QFETCH(bool, click);
    Settings &s = m_state.settings;
    s.jsBgColor = s.jsForeColor = s.jsFontBold = stored;
    open();
    for (const char *name : {"chkBgColor", "chkForeColor", "chkFontBold"}) {
        QTEST(child<QCheckBox>(name)->isChecked(), "wantChecked");
        if (click)
            clickBox(child<QCheckBox>(name));
    }
    QTest::keyClick(child<QCheckBox>("chkFontBold"), Qt::Key_Return);
    QTEST(s.jsBgColor, "written");
    QTEST(s.jsForeColor, "written");
    QTEST(s.jsFontBold, "written");
    QTEST(readIniValue(s.iniPath, "JavaScript", "文字の太さ変更"), "written");
}

void TestSettingsDialog::optionsAndPaletteStored()
{
    m_state.settings.narColor = QStringLiteral("#XYZ"); // hand-edited damage loads as black
    open();
    typeInto(child<QLineEdit>("txtFile"), QStringLiteral("new_"));
    for (const char *name : {"chkSpeed", "chlNameColor", "chkB"})
        clickBox(child<QCheckBox>(name));
    QVERIFY(child<QLineEdit>("Text1")->hasFocus());
    selectLine(3);
    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton); // entry 2 removed
    QTest::mouseClick(child<QPushButton>("cmdOk"), Qt::LeftButton);

    const Settings &s = m_state.settings;
    QCOMPARE(s.addStr, QStringLiteral("new_"));
    QCOMPARE(s.speedUp, 1);
    QCOMPARE(s.boldMessages, 1);
    QCOMPARE(s.colorNameToo, 1);
    QCOMPARE(s.bodyColor, QStringLiteral("#102030"));
    QCOMPARE(s.narColor, QStringLiteral("#000000"));
    QCOMPARE(s.colorCount, 7);
    QCOMPARE(m_state.palette.size(), 7);
    QCOMPARE(m_state.palette[1].code, QStringLiteral("#7468FF"));
    QCOMPARE(m_state.palette[1].label, QStringLiteral("発言の色－０３"));
    QCOMPARE(readIniValue(s.iniPath, "Color", "Count"), QStringLiteral("7"));
    // The preview is redrawn once, after the file was written.
    QCOMPARE(m_saved, 1);
    QCOMPARE(m_fileAtSave, QStringLiteral("new_"));
}

void TestSettingsDialog::discardLeavesEverything_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("cancel button") << 0;
    QTest::newRow("escape") << 1;
    QTest::newRow("close box") << 2;
}

void TestSettingsDialog::discardLeavesEverything()
{
    QFETCH(int, how);
    QVERIFY(saveSettings(m_state.settings, m_state.palette));
    QFile file(m_state.settings.iniPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    open();
    typeInto(child<QLineEdit>("txtFile"), QStringLiteral("zz"));
    QTest::mouseClick(child<QRadioButton>("optHead_0"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("cmdChart"), Qt::LeftButton);
    QPointer<ColorChart> chart = m_dialog->findChild<ColorChart *>();
    QVERIFY(chart && chart->isVisible());
    if (how == 0)
        QTest::mouseClick(child<QPushButton>("cmdCancel"), Qt::LeftButton);
    else if (how == 1)
        QTest::keyClick(child<QLineEdit>("txtFile"), Qt::Key_Escape);
    else
        m_dialog->close();
    QTRY_VERIFY(!m_dialog);
    QVERIFY(!chart);

    QCOMPARE(m_saved, 0);
    QCOMPARE(m_state.settings.addStr, QStringLiteral("_"));
    QCOMPARE(m_state.palette.size(), 8);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);

    open(); // reopening loads afresh
    QCOMPARE(child<QLineEdit>("txtFile")->text(), QStringLiteral("_"));
    QVERIFY(child<QRadioButton>("optHead_1")->isChecked());
    QCOMPARE(child<QListWidget>("lstColor")->count(), 10);
}

void TestSettingsDialog::emptyHeaderOrPrefixRefused_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("messages");
    QTest::newRow("header") << "txtHead" << 1;
    QTest::newRow("prefix") << "txtFile" << 0;
}

void TestSettingsDialog::emptyHeaderOrPrefixRefused()
{
    QFETCH(QString, box);
    QFETCH(int, messages);
    open();
    auto *edit = child<QLineEdit>(qPrintable(box));
    edit->setFocus();
    edit->clear();
    child<QLineEdit>("txtRed")->setFocus(); // leaving the box
    QTRY_VERIFY(edit->hasFocus());
    QCOMPARE(m_messages.size(), messages);
    if (messages)
        QCOMPARE(m_messages[0].title, QStringLiteral("なんかあるでしょ"));

    // Enter goes to OK without leaving the box: refused the same way, nothing committed.
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(m_messages.size(), messages * 2);
    QVERIFY(m_dialog && m_dialog->isVisible());
    QCOMPARE(m_saved, 0);
    QVERIFY(!QFile::exists(m_state.settings.iniPath));
    QCOMPARE(m_state.settings.headerText, QStringLiteral("さんの発言："));
}

void TestSettingsDialog::hexBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("textAfterLeaving");
    QTest::addColumn<QList<int>>("rgb");
    QTest::newRow("paste") << "ff8000" << true << "#ff8000"
                           << "#FF8000" << QList<int> {255, 128, 0};
    QTest::newRow("short") << "#12" << false << "#12"
                           << "#12" << QList<int> {18, 0, 0};
    QTest::newRow("not hex") << "#12G" << false << "#000000"
                             << "#000000" << QList<int> {0, 0, 0};
    QTest::newRow("no hash") << "abc" << false << "#abc"
                             << "#ABC" << QList<int> {171, 192, 0};
}

void TestSettingsDialog::hexBox()
{
    QFETCH(QString, typed);
    QFETCH(QList<int>, rgb);
    open();
    auto *txtColor = child<QLineEdit>("txtColor");
    txtColor->setFocus();
    txtColor->selectAll();
    if (QFETCH(bool, paste); paste)
        txtColor->insert(typed);
    else
        typeText(txtColor, typed);
    QTEST(txtColor->text(), "text");
    if (txtColor->text() == "#000000")
        QCOMPARE(txtColor->selectedText(), QStringLiteral("#000000"));
    const char *boxes[] = {"txtRed", "txtGreen", "txtBlue"};
    const char *bars[] = {"H_R", "H_G", "H_B"};
    for (int c = 0; c < 3; ++c) {
        QCOMPARE(child<QLineEdit>(boxes[c])->text(), QString::number(rgb[c]));
        QCOMPARE(child<QScrollBar>(bars[c])->value(), rgb[c]);
    }
    QCOMPARE(child<QLabel>("lblColor")->palette().color(QPalette::WindowText),
             QColor(rgb[0], rgb[1], rgb[2]));
    leave(txtColor);
    QTEST(txtColor->text(), "textAfterLeaving");
    // No line changes before Apply.
    QCOMPARE(child<QListWidget>("lstColor")->item(0)->data(Qt::UserRole).toInt(), 0x102030);
}

void TestSettingsDialog::numberBoxLeft_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("bar");
    QTest::newRow("too big") << "300"
                             << "0" << 0;
    QTest::newRow("in range") << "100"
                              << "100" << 100;
    QTest::newRow("not a number") << "x"
                                  << "0" << 0;
    QTest::newRow("half to even") << "2.5"
                                  << "2.5" << 2;
}

void TestSettingsDialog::numberBoxLeft()
{
    QFETCH(QString, typed);
    QFETCH(int, bar);
    open();
    auto *txtRed = child<QLineEdit>("txtRed");
    typeInto(txtRed, typed);
    leave(txtRed);
    QTEST(txtRed->text(), "shown");
    QCOMPARE(child<QScrollBar>("H_R")->value(), bar);
    QCOMPARE(child<QLabel>("lblColor")->palette().color(QPalette::WindowText),
             QColor(bar, 0x20, 0x30));
    // The hex box keeps its red digits; Add takes its colour, Apply takes the numbers.
    QCOMPARE(child<QLineEdit>("txtColor")->text(), QStringLiteral("#102030"));
    QTest::mouseClick(child<QPushButton>("cmdTekiyo"), Qt::LeftButton);
    auto *list = child<QListWidget>("lstColor");
    QCOMPARE(list->item(0)->data(Qt::UserRole).toInt(), bar << 16 | 0x2030);
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(list->item(10)->data(Qt::UserRole).toInt(), 0x102030);
}

void TestSettingsDialog::draggingBarRewritesItsDigits()
{
    open();
    auto *bar = child<QScrollBar>("H_G");
    bar->setSliderDown(true);
    bar->setSliderPosition(255);
    bar->setSliderDown(false);
    QCOMPARE(child<QLineEdit>("txtGreen")->text(), QStringLiteral("255"));
    QCOMPARE(child<QLineEdit>("txtColor")->text(), QStringLiteral("#10FF30"));
    QCOMPARE(child<QLabel>("lblColor")->palette().color(QPalette::WindowText),
             QColor(0x10, 0xFF, 0x30));
}

void TestSettingsDialog::addNamesAndLimit_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("name"); // empty: refused
    QTest::newRow("ninth") << 8 << "発言の色－０９";
    QTest::newRow("99th") << 98 << "発言の色－９９";
    QTest::newRow("100th refused") << 99 << "";
}

void TestSettingsDialog::addNamesAndLimit()
{
    QFETCH(int, entries);
    QFETCH(QString, name);
    m_state.palette.resize(entries, {QStringLiteral("#000000"), QStringLiteral("x")});
    open();
    auto *list = child<QListWidget>("lstColor");
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    if (name.isEmpty()) {
        QCOMPARE(list->count(), entries + 2);
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].icon, QMessageBox::Critical);
        QCOMPARE(m_messages[0].prompt, QStringLiteral("色は９９個までだよ♪"));
        QCOMPARE(m_messages[0].title, QStringLiteral("これ以上は無理っす"));
        return;
    }
    QCOMPARE(list->count(), entries + 3);
    QCOMPARE(list->item(entries + 2)->text(), name);
    QCOMPARE(list->item(entries + 2)->data(Qt::UserRole).toInt(), 0x102030);
    QVERIFY(list->item(entries + 2)->isSelected());
    QVERIFY(child<QPushButton>("Command2")->isEnabled());
}

void TestSettingsDialog::removeLimit_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("deleteKey");
    QTest::addColumn<bool>("refused");
    QTest::newRow("three entries") << 3 << 3 << false << false;
    QTest::newRow("delete key") << 3 << 4 << true << false;
    QTest::newRow("two entries") << 2 << 2 << false << true;
    QTest::newRow("one entry") << 1 << 2 << true << true;
}

void TestSettingsDialog::removeLimit()
{
    QFETCH(int, entries);
    QFETCH(int, row);
    QFETCH(bool, refused);
    m_state.palette.resize(entries);
    open();
    auto *list = child<QListWidget>("lstColor");
    selectLine(row);
    const QString shown = child<QLineEdit>("txtColor")->text();
    if (QFETCH(bool, deleteKey); deleteKey)
        QTest::keyClick(list, Qt::Key_Delete);
    else
        QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
    QCOMPARE(list->count(), refused ? entries + 2 : entries + 1);
    QCOMPARE(m_messages.size(), refused ? 1 : 0);
    if (refused) {
        QCOMPARE(m_messages[0].prompt, QStringLiteral("これ以上は消さないでね♪"));
        return;
    }
    QVERIFY(list->selectedItems().isEmpty());
    QCOMPARE(child<QLineEdit>("txtColor")->text(), shown);
    QVERIFY(child<QPushButton>("Command2")->isEnabled());
    // The fixed lines are never removed.
    selectLine(1);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(list->count(), entries + 1);
}

void TestSettingsDialog::rename_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("label"); // of the line after the editor closed
    QTest::newRow("enter") << 4 << "空色" << int(Qt::Key_Return) << "空色";
    QTest::newRow("escape") << 4 << "空色" << int(Qt::Key_Escape) << "発言の色－０３";
    QTest::newRow("cleared") << 4 << "" << int(Qt::Key_Return) << "";
    QTest::newRow("fixed line") << 1 << "" << 0 << "ナレーションの色";
}

void TestSettingsDialog::rename()
{
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(int, key);
    open();
    auto *list = child<QListWidget>("lstColor");
    selectLine(row);
    typeInto(child<QLineEdit>("txtBlue"), QStringLiteral("200")); // not applied
    leave(child<QLineEdit>("txtBlue"));
    QString shownName;
    QColor swatch;
    bool opened = false;
    QObject guard; // the editor check must not outlive this test
    QTimer::singleShot(0, &guard, [&] {
        QWidget *editor = QApplication::activeModalWidget();
        if (!editor || editor->objectName() != "frmNameChange")
            return;
        opened = true;
        auto *txtName = editor->findChild<QLineEdit *>("txtName");
        shownName = txtName->selectedText();
        swatch = editor->findChild<QLabel *>("lblSample")->palette().color(QPalette::Window);
        if (typed.isEmpty())
            txtName->clear();
        else
            typeText(txtName, typed);
        QTest::keyClick(txtName, Qt::Key(key));
    });
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       list->visualItemRect(list->item(row)).center());
    QCOMPARE(opened, row >= 2);
    QTEST(list->item(row)->text(), "label");
    if (!opened)
        return;
    QCOMPARE(shownName, QStringLiteral("発言の色－０３"));
    QCOMPARE(swatch, QColor(0x74, 0x68, 200));
    QVERIFY(list->item(row)->isSelected());
    QTest::keyClick(list, Qt::Key_Return);
    QTEST(m_state.palette[2].label, "label");
}

void TestSettingsDialog::chartPicks()
{
    open();
    QTest::mouseClick(child<QPushButton>("cmdChart"), Qt::LeftButton);
    auto *chart = m_dialog->findChild<ColorChart *>();
    QVERIFY(chart && chart->isVisible());
    QCOMPARE(chart->frameGeometry().left(), m_dialog->frameGeometry().right() + 1);
    QCOMPARE(chart->frameGeometry().bottom(), m_dialog->frameGeometry().bottom());
    auto cell = [chart](int k) {
        return chart->findChild<QLabel *>(QStringLiteral("lblColor_%1").arg(k));
    };

    QTest::mouseClick(cell(150), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>("txtColor")->text(), QStringLiteral("#FF0000"));
    QCOMPARE(child<QLineEdit>("txtRed")->text(), QStringLiteral("255"));
    QCOMPARE(child<QLineEdit>("txtGreen")->text(), QStringLiteral("0"));
    QCOMPARE(cell(150)->frameShape(), QFrame::Box);

    QTest::mouseClick(cell(5), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>("txtColor")->text(), QStringLiteral("#0000FF"));
    QCOMPARE(child<QLineEdit>("txtBlue")->text(), QStringLiteral("255"));
    QCOMPARE(child<QLineEdit>("txtRed")->text(), QStringLiteral("0"));
    QCOMPARE(cell(150)->frameShape(), QFrame::NoFrame);
    QCOMPARE(cell(5)->frameShape(), QFrame::Box);
    QCOMPARE(child<QListWidget>("lstColor")->item(0)->data(Qt::UserRole).toInt(), 0x102030);

    // Closing the chart alone keeps the dialog and its edits; the button opens a fresh one.
    chart->close();
    QTRY_VERIFY(!m_dialog->findChild<ColorChart *>());
    QCOMPARE(child<QLineEdit>("txtColor")->text(), QStringLiteral("#0000FF"));
    QTest::mouseClick(child<QPushButton>("cmdChart"), Qt::LeftButton);
    QCOMPARE(m_dialog->findChild<ColorChart *>()->pickedCode(), QString());
}

void TestSettingsDialog::chartCellColours_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<QString>("code");
    QTest::newRow("0") << 0 << "#000000";
    QTest::newRow("6") << 6 << "#990000";
    QTest::newRow("72") << 72 << "#330000";
    QTest::newRow("85") << 85 << "#333333";
    QTest::newRow("170") << 170 << "#666666";
    QTest::newRow("210") << 210 << "#FFFF00";
    QTest::newRow("215") << 215 << "#FFFFFF";
}

void TestSettingsDialog::chartCellColours()
{
    QFETCH(int, cell);
    QTEST(ColorChart::cellCode(cell), "code");
}

void TestSettingsDialog::listTooltipFollowsPointer()
{
    m_state.palette[0].label
        = QStringLiteral("とても長い名前の色とても長い名前の色とても長い名前の色");
    open();
    auto *list = child<QListWidget>("lstColor");
    QTest::mouseMove(list->viewport(), list->visualItemRect(list->item(2)).center());
    QTRY_COMPARE(list->toolTip(), m_state.palette[0].label);
    QTest::mouseMove(list->viewport(), QPoint(5, list->viewport()->height() - 2));
    QTRY_COMPARE(list->toolTip(), QString());
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
