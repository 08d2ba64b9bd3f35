#include "engine/appstate.h"
#include "settings/inifile.h"
#include "support/controls.h"
#include "support/filesizelimit.h"
#include "ui/settings/colorchart.h"
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
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <optional>

namespace {

// QTest::keyClicks takes Latin-1 only; the dialog is typed into in Japanese.
void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

// A check box reacts to clicks on its mark and caption only, not on the rest of its width.
void clickBox(QWidget *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, {8, box->height() / 2});
}

void click(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

QColor sampleColor(QWidget *label)
{
    return label->palette().color(QPalette::WindowText);
}

int lineColor(QListWidget *list, int row)
{
    return list->item(row)->data(Qt::UserRole).toInt();
}

} // namespace

class TestSettingsDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    AppState m_state;
    QPointer<QDialog> m_dialog;
    QStringList m_messages; // icon, title and prompt of each message box
    int m_saved = 0;
    QString m_fileAtSave; // the prefix in the file when the preview was redrawn

    void open()
    {
        auto onSaved = [this] {
            ++m_saved;
            m_fileAtSave = readIniValue(m_state.settings.iniPath, "File", "AddStr");
        };
        auto record = [this](QWidget *, QMessageBox::Icon i, const QString &p, const QString &t) {
            m_messages << QString::number(i) + ' ' + t + ' ' + p;
        };
        m_dialog = createSettingsDialog(m_state, record, onSaved, nullptr);
        m_dialog->show();
        m_dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(m_dialog))
            qFatal("the settings dialog did not become active");
    }
    template<class T = QWidget> T *child(const QString &name) { return control<T>(m_dialog, name); }
    QLineEdit *box(const QString &name) { return child<QLineEdit>(name); }
    QListWidget *list() { return child<QListWidget>("lstColor"); }
    void typeInto(QLineEdit *edit, const QString &text)
    {
        edit->setFocus();
        edit->selectAll();
        typeText(edit, text);
    }
    void leave(QLineEdit *edit)
    {
        edit->setFocus();
        box("Text1")->setFocus();
    }
    void selectLine(int row, bool dbl = false)
    {
        const QPoint at = list()->visualItemRect(list()->item(row)).center();
        if (dbl)
            QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
        else
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }

    void init()
    {
        m_state = AppState();
        Settings &s = m_state.settings;
        s.iniPath = m_dir.filePath(QStringLiteral("基本設定よ.ini"));
        QFile::remove(s.iniPath);
        s.headerMode = QStringLiteral("1");
        s.customHeader = s.headerText = QStringLiteral("さんの発言：");
        s.addStr = QStringLiteral("_");
        s.bodyColor = QStringLiteral("#102030");
        s.narColor = QStringLiteral("#0000FF");
        s.jsBgColor = s.jsForeColor = s.jsFontBold = JsNotWanted;
        m_state.palette = colorcode::defaultPalette();
        s.colorCount = s.colorCountAtLoad = 8;
        m_messages.clear();
        m_saved = 0;
    }

    void cleanup() { delete m_dialog; }

    void headerRoundTrip_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("steps"); // header options clicked, "type" types a header
        QTest::addColumn<QString>("wantMode");
        QTest::addColumn<QString>("wantHeader");
        QTest::addColumn<QString>("wantCustom");
        QTest::addColumn<QString>("js"); // the three script choices, stored and written back
        QTest::addColumn<QString>("jsWritten");
        auto row = [](const char *tag, const char *mode, QStringList steps, const char *wantMode,
                      const char *header, const char *custom, const char *js, const char *jsOut) {
            QTest::newRow(tag) << QString(mode) << steps << QString(wantMode) << QString(header)
                               << QString(custom) << QString(js) << QString(jsOut);
        };
        const char *standard = " の発言 :", *stored = "さんの発言：", *typed = " 様の発言";
        row("custom kept", "1", {}, "1", stored, stored, "いる", "いる");
        row("custom replaced", "1", {"type"}, "1", typed, typed, "yes", "いらない");
        row("standard", "0", {}, "0", standard, stored, "いらない", "いらない");
        row("to custom", "0", {"1", "type", "js"}, "1", typed, typed, "いらない", "いる");
        row("typed then back", "0", {"1", "type", "0", "js"}, "0", standard, stored, "いる",
            "いらない");
    }

    void headerRoundTrip()
    {
        QFETCH(QString, mode);
        QFETCH(QStringList, steps);
        QFETCH(QString, js);
        Settings &s = m_state.settings;
        s.headerMode = mode;
        s.jsBgColor = s.jsForeColor = s.jsFontBold = js;
        open();
        const char *scripts[] = {"chkBgColor", "chkForeColor", "chkFontBold"};
        for (const char *name : scripts)
            QCOMPARE(child<QCheckBox>(name)->isChecked(), js == "いる");
        QLineEdit *txtHead = box("txtHead");
        QCOMPARE(txtHead->text(), QStringLiteral("さんの発言："));
        QCOMPARE(txtHead->palette().color(QPalette::Base).red(), mode == "1" ? 255 : 224);
        for (const QString &step : steps) {
            if (step == "type") {
                txtHead->selectAll();
                typeText(txtHead, QStringLiteral(" 様の発言"));
            } else if (step == "js") {
                for (const char *name : scripts)
                    clickBox(child(name));
            } else {
                click(child("optHead_" + step));
            }
            if (step == "1") // ready for typing over
                QVERIFY(txtHead->hasFocus() && txtHead->selectedText() == txtHead->text());
        }
        QTest::keyClick(child("optHead_0"), Qt::Key_Return); // Enter confirms
        QTEST(s.headerMode, "wantMode");
        QTEST(s.headerText, "wantHeader");
        QTEST(s.customHeader, "wantCustom");
        QTEST(readIniValue(s.iniPath, "Hatsugen", "Type"), "wantMode");
        QTEST(s.jsBgColor, "jsWritten");
        QTEST(readIniValue(s.iniPath, "JavaScript", "文字の太さ変更"), "jsWritten");
        QTRY_VERIFY(!m_dialog);
    }

    void optionsAndPaletteStored()
    {
        m_state.settings.narColor = QStringLiteral("#XYZ"); // damaged: loads as black
        open();
        typeInto(box("txtFile"), QStringLiteral("new_"));
        selectLine(3);
        QVERIFY(!child<QLabel>("lblColor")->font().bold());
        for (const char *name : {"chkSpeed", "chlNameColor", "chkB"})
            clickBox(child(name));
        QVERIFY(box("Text1")->hasFocus());
        QVERIFY(child<QLabel>("lblColor")->font().bold()); // palette lines show chkB
        click(child("Command2")); // entry 2 removed
        selectLine(0);
        QVERIFY(!child<QLabel>("lblColor")->font().bold());
        click(child("cmdOk"));

        const Settings &s = m_state.settings;
        QCOMPARE(s.addStr, QStringLiteral("new_"));
        QCOMPARE((QList {s.speedUp, s.boldMessages, s.colorNameToo}), (QList {1, 1, 1}));
        QCOMPARE(s.bodyColor + s.narColor, QStringLiteral("#102030#000000"));
        QCOMPARE(m_state.palette.size(), s.colorCount);
        QCOMPARE(s.colorCount, 7);
        QCOMPARE(m_state.palette[1].code + m_state.palette[1].label, "#7468FF発言の色－０３");
        QCOMPARE(readIniValue(s.iniPath, "Color", "Count"), QStringLiteral("7"));
        QCOMPARE(m_saved, 1); // the preview is redrawn once, after the file was written
        QCOMPARE(m_fileAtSave, QStringLiteral("new_"));
    }

    void unwritableFileIsReported_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("a file where the folder should be") << false;
        QTest::newRow("full disk: the earlier file stays") << true;
    }

    void unwritableFileIsReported()
    {
        QFETCH(bool, fullDisk);
        QFile blocker(m_dir.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        if (!fullDisk)
            m_state.settings.iniPath = blocker.fileName() + QStringLiteral("/基本設定よ.ini");
        else
            QVERIFY(writeIniValue(m_state.settings.iniPath, "File", "AddStr", "earlier"));
        open();
        {
            std::optional<FileSizeLimit> full;
            if (fullDisk)
                full.emplace(64);
            click(child("cmdOk"));
        }
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].startsWith("3 ")); // critical
        QVERIFY(m_messages[0].contains(m_state.settings.iniPath));
        QVERIFY(m_messages[0].contains(u"設定ファイルに書き込めなかったよ…"));
        QCOMPARE(m_saved, 1); // the settings are in force all the same
        if (fullDisk)
            QCOMPARE(readIniValue(m_state.settings.iniPath, "File", "AddStr"), u"earlier"_qs);
    }

    void discardLeavesEverything_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("cancel button") << 0;
        QTest::newRow("escape") << 1;
        QTest::newRow("close box") << 2;
    }

    void discardLeavesEverything()
    {
        QFETCH(int, how);
        QVERIFY(saveSettings(m_state.settings, m_state.palette));
        QFile file(m_state.settings.iniPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        open();
        typeInto(box("txtFile"), QStringLiteral("zz"));
        click(child("optHead_0"));
        click(child("Command1"));
        click(child("cmdChart"));
        QPointer<ColorChart> chart = m_dialog->findChild<ColorChart *>();
        QVERIFY(chart && chart->isVisible());
        if (how == 0)
            click(child("cmdCancel"));
        else if (how == 1)
            QTest::keyClick(box("txtFile"), Qt::Key_Escape);
        else
            m_dialog->close();
        QTRY_VERIFY(!m_dialog);
        QVERIFY(!chart); // the chart closes with the dialog

        QCOMPARE(m_saved, 0);
        QCOMPARE(m_state.settings.addStr, QStringLiteral("_"));
        QCOMPARE(m_state.palette.size(), 8);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);

        open(); // reopening loads afresh
        QCOMPARE(box("txtFile")->text(), QStringLiteral("_"));
        QVERIFY(child<QRadioButton>("optHead_1")->isChecked());
        QCOMPARE(list()->count(), 10);
    }

    void emptyHeaderOrPrefixRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message"); // empty: refused without a word
        QTest::addColumn<bool>("byTab"); // left with Tab, else by the focus going elsewhere
        const QString header
            = QStringLiteral("3 なんかあるでしょ それじゃ発言者が区別できないっすよ");
        const QString path = QStringLiteral("3 なんかあるでしょ ファイル名の先頭につける文字に「/」"
                                            "「\\」は使えません。「.」「..」だけにもできません。");
        QTest::newRow("header") << "txtHead"
                                << "" << header << false;
        QTest::newRow("header, Tab") << "txtHead"
                                     << "" << header << true;
        QTest::newRow("prefix") << "txtFile"
                                << ""
                                << "" << false;
        QTest::newRow("prefix, Tab") << "txtFile"
                                     << ""
                                     << "" << true;
        QTest::newRow("prefix that is a path") << "txtFile"
                                               << "../" << path << false;
    }

    void emptyHeaderOrPrefixRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(bool, byTab);
        const int messages = message.isEmpty() ? 0 : 1;
        open();
        QLineEdit *edit = box(name);
        edit->setFocus();
        edit->setText(text);
        if (byTab)
            QTest::keyClick(edit, Qt::Key_Tab);
        else
            box("txtRed")->setFocus(); // leaving the box
        QVERIFY(!edit->hasFocus());
        QTRY_VERIFY(edit->hasFocus());
        QCOMPARE(m_messages.size(), messages);
        if (messages)
            QCOMPARE(m_messages[0], message);

        // Enter reaches OK without leaving the box: refused the same way, nothing committed.
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(m_messages.size(), messages * 2);
        QVERIFY(m_dialog && m_dialog->isVisible());
        QCOMPARE(m_saved, 0);
        QVERIFY(!QFile::exists(m_state.settings.iniPath));

        // Cancel stays possible: the press moves the focus, the check runs before the release.
        QTest::mousePress(child("cmdCancel"), Qt::LeftButton);
        QCoreApplication::processEvents();
        QTest::mouseRelease(child("cmdCancel"), Qt::LeftButton);
        QTRY_VERIFY(!m_dialog);
        QCOMPARE(m_messages.size(), messages * 2);
    }

    void colourEditors_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("shown"); // hex box, number boxes / bars, once left
        auto row = [](const char *tag, const char *target, const char *input, const char *shown) {
            QTest::newRow(tag) << QString(target) << QString(input) << QString(shown);
        };
        row("paste", "txtColor", "ff8000", "#FF8000 255 128 0 / 255 128 0");
        row("short", "txtColor", "#12", "#12 18 0 0 / 18 0 0");
        row("not hex", "txtColor", "#12G", "#000000 0 0 0 / 0 0 0");
        row("no hash", "txtColor", "abc", "#ABC 171 192 0 / 171 192 0");
        row("red too big", "txtRed", "300", "#102030 0 32 48 / 0 32 48");
        row("red typed", "txtRed", "100", "#102030 100 32 48 / 100 32 48");
        row("red not a number", "txtRed", "x", "#102030 0 32 48 / 0 32 48");
        row("half to even", "txtRed", "2.5", "#102030 2.5 32 48 / 2 32 48");
        row("green dragged", "H_G", "255", "#10FF30 16 255 48 / 16 255 48");
    }

    // Line 0 (#102030) is selected; one editor is changed and left, then Apply and Add run.
    void colourEditors()
    {
        QFETCH(QString, target);
        QFETCH(QString, input);
        open();
        if (auto *bar = m_dialog->findChild<QScrollBar *>(target)) {
            bar->setSliderDown(true);
            bar->setSliderPosition(input.toInt());
            bar->setSliderDown(false);
        } else if (QTest::currentDataTag() == QLatin1String("paste")) {
            box(target)->setFocus();
            box(target)->selectAll();
            box(target)->insert(input);
            QCOMPARE(box(target)->text(), "#" + input);
        } else {
            typeInto(box(target), input);
            if (box("txtColor")->text() == "#000000") // reset with the whole text selected
                QCOMPARE(box(target)->selectedText(), QStringLiteral("#000000"));
            leave(box(target));
        }
        leave(box("txtColor"));
        QStringList shown {box("txtColor")->text()};
        for (const char *name : {"txtRed", "txtGreen", "txtBlue"})
            shown << box(name)->text();
        shown << "/";
        int rgb = 0;
        for (const char *name : {"H_R", "H_G", "H_B"}) {
            shown << QString::number(child<QScrollBar>(name)->value());
            rgb = rgb << 8 | child<QScrollBar>(name)->value();
        }
        QTEST(shown.join(' '), "shown");
        QCOMPARE(sampleColor(child("lblColor")), QColor(QRgb(rgb)));
        QCOMPARE(lineColor(list(), 0), 0x102030); // no line changes before Apply
        click(child("cmdTekiyo"));
        QCOMPARE(lineColor(list(), 0), rgb);
        click(child("Command1")); // Add takes the hex box's colour
        QCOMPARE(lineColor(list(), 10), colorcode::codeToColorNumber(box("txtColor")->text()));
    }

    void addAndRemoveLimits_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("action"); // add, or the line removed by button or Delete key
        QTest::addColumn<QString>("name"); // of the added line
        QTest::addColumn<QString>("refusal");
        auto row = [](const char *tag, int entries, const char *action, const char *name,
                      const char *refusal) {
            QTest::newRow(tag) << entries << QString(action) << QString(name) << QString(refusal);
        };
        const char *full = "3 これ以上は無理っす 色は９９個までだよ♪";
        const char *few = "3 あんま消すと意味無いからね これ以上は消さないでね♪";
        row("ninth", 8, "add", "発言の色－０９", "");
        row("ninth, Return on 追加", 8, "add by key", "発言の色－０９", "");
        row("99th", 98, "add", "発言の色－９９", "");
        row("100th refused", 99, "add", "", full);
        row("of three", 3, "button 3", "", "");
        row("of three by key", 3, "key 4", "", "");
        row("fixed line", 3, "key 1", "", "");
        row("of two refused", 2, "button 2", "", few);
        row("of one refused", 1, "key 2", "", few);
    }

    void addAndRemoveLimits()
    {
        QFETCH(int, entries);
        QFETCH(QString, action);
        QFETCH(QString, refusal);
        m_state.palette.resize(entries, {QStringLiteral("#000000"), QStringLiteral("x")});
        open();
        const int row = action.section(' ', 1).toInt();
        int lines = entries + 2;
        if (action.startsWith("add")) {
            if (action == "add") {
                click(child("Command1"));
            } else {
                child("Command1")->setFocus(Qt::TabFocusReason);
                QTest::keyClick(child("Command1"), Qt::Key_Return);
                QCOMPARE(m_saved, 0); // the dialog was not confirmed
            }
            lines += refusal.isEmpty();
        } else {
            selectLine(row);
            if (action.startsWith("key"))
                QTest::keyClick(list(), Qt::Key_Delete);
            else
                click(child("Command2"));
            lines -= refusal.isEmpty() && row >= 2;
        }
        QCOMPARE(list()->count(), lines);
        QCOMPARE(m_messages, refusal.isEmpty() ? QStringList() : QStringList {refusal});
        if (action.startsWith("add") && refusal.isEmpty()) {
            QTEST(list()->item(lines - 1)->text(), "name");
            QCOMPARE(lineColor(list(), lines - 1), 0x102030);
            QVERIFY(list()->item(lines - 1)->isSelected());
        } else if (lines == entries + 1) {
            // Removed: no line selected, the editors keep the removed colour.
            QVERIFY(list()->selectedItems().isEmpty());
            QCOMPARE(box("txtColor")->text(), m_state.palette[row - 2].code);
            QVERIFY(child("Command2")->isEnabled());
        }
    }

    void rename_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("tabs"); // Tab presses before the key
        QTest::addColumn<QString>("label"); // of the line after the editor closed
        auto row = [](const char *tag, int line, const char *typed, int key, int tabs,
                      const char *label) {
            QTest::newRow(tag) << line << QString(typed) << key << tabs << QString(label);
        };
        row("enter", 4, "空色", Qt::Key_Return, 0, "空色");
        row("escape", 4, "空色", Qt::Key_Escape, 0, "発言の色－０３");
        row("cleared", 4, "", Qt::Key_Return, 0, "");
        row("Return on やっぱ中止", 4, "空色", Qt::Key_Return, 2, "発言の色－０３");
        row("fixed line", 1, "", 0, 0, "ナレーションの色");
    }

    void rename()
    {
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(int, tabs);
        open();
        selectLine(row);
        typeInto(box("txtBlue"), QStringLiteral("200")); // shown, not applied
        leave(box("txtBlue"));
        QString shownName;
        QColor swatch;
        bool opened = false;
        QObject guard; // the editor check must not outlive this test
        QTimer::singleShot(0, &guard, [&] {
            QWidget *editor = QApplication::activeModalWidget();
            if (!editor || editor->objectName() != "frmNameChange")
                return;
            opened = true;
            auto *txtName = control<QLineEdit>(editor, QStringLiteral("txtName"));
            shownName = txtName->selectedText();
            swatch = control<QLabel>(editor, QStringLiteral("lblSample"))
                         ->palette()
                         .color(QPalette::Window);
            if (typed.isEmpty())
                txtName->clear();
            else
                typeText(txtName, typed);
            for (int i = 0; i < tabs; ++i)
                QTest::keyClick(editor->focusWidget(), Qt::Key_Tab);
            QTest::keyClick(editor->focusWidget(), Qt::Key(key));
        });
        selectLine(row, true);
        QCOMPARE(opened, row >= 2);
        QTEST(list()->item(row)->text(), "label");
        if (!opened)
            return;
        QCOMPARE(shownName, QStringLiteral("発言の色－０３"));
        QCOMPARE(swatch, QColor(0x74, 0x68, 200));
        QVERIFY(list()->item(row)->isSelected());
        QTest::keyClick(list(), Qt::Key_Return);
        QTEST(m_state.palette[2].label, "label");
    }

    void chartPicks()
    {
        open();
        click(child("cmdChart"));
        auto *chart = m_dialog->findChild<ColorChart *>();
        QVERIFY(chart && chart->isVisible());
        QCOMPARE(chart->frameGeometry().left(), m_dialog->frameGeometry().right() + 1);
        QCOMPARE(chart->frameGeometry().bottom(), m_dialog->frameGeometry().bottom());
        auto cell = [chart](int k) {
            return control<QLabel>(chart, QStringLiteral("lblColor_%1").arg(k));
        };
        QCOMPARE(cell(85)->toolTip(), QStringLiteral("#333333"));

        auto editors = [this] {
            return QStringList {box("txtColor")->text(), box("txtRed")->text(),
                                box("txtGreen")->text(), box("txtBlue")->text()}
                .join(' ');
        };
        click(cell(150));
        QCOMPARE(editors(), QStringLiteral("#FF0000 255 0 0"));
        QCOMPARE(cell(150)->frameShape(), QFrame::Box);
        click(cell(5));
        QCOMPARE(editors(), QStringLiteral("#0000FF 0 0 255"));
        QCOMPARE(cell(150)->frameShape(), QFrame::NoFrame);
        QCOMPARE(cell(5)->frameShape(), QFrame::Box);
        QCOMPARE(lineColor(list(), 0), 0x102030); // a pick is not applied
        chart->close(); // alone: the dialog keeps its edits
        QTRY_VERIFY(!m_dialog->findChild<ColorChart *>());
        QCOMPARE(box("txtColor")->text(), QStringLiteral("#0000FF"));
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
