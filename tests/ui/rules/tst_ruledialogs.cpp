#include "codec/cp932.h"
#include "engine/appstate.h"
#include "engine/convert/htmlconverter.h"
#include "rules/messagerule.h"
#include "settings/inifile.h"
#include "settings/settings.h"
#include "support/controls.h"
#include "support/filesizelimit.h"
#include "support/recordinghost.h"
#include "ui/rules/colorcombobox.h"
#include "ui/rules/ruledialogs.h"
#include "ui/rules/ruleeditordialog.h"
#include "ui/rules/rulegrid.h"
#include "ui/rules/rulelistdialog.h"
#include "ui/uiutil.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

namespace {

struct Shown
{
    QString prompt;
    QString title;
};

const MessageRule San {3, QStringLiteral("さん"), RulePositionEnd};
const MessageRule StartsA {2, QStringLiteral("A"), RulePositionStart};

RuleList numbered(int count)
{
    RuleList rules;
    for (int n = 1; n <= count; ++n)
        rules.append({n % 8 + 1, QStringLiteral("r%1").arg(n), RulePositionContains});
    return rules;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestRuleDialogs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    AppState m_state;
    QList<Shown> m_shown;
    QPointer<RuleListDialog> m_list;

    QString stored(const QString &key)
    {
        return readIniValue(m_state.settings.iniPath, RuleSection, key, QStringLiteral("-"));
    }
    void store(const RuleList &rules) { QVERIFY(saveRules(m_state.settings.iniPath, rules, 0)); }

    ui::MessageFunction recorder()
    {
        return
            [this](QWidget *, QMessageBox::Icon icon, const QString &prompt, const QString &title) {
                QCOMPARE(icon, QMessageBox::Critical);
                m_shown.append({prompt, title});
            };
    }
    RuleListDialog *openList()
    {
        m_list = qobject_cast<RuleListDialog *>(createRuleListDialog(m_state, recorder(), nullptr));
        m_list->show();
        return m_list;
    }
    template<class T> static T *in(QWidget *w, const char *name)
    {
        return control<T>(w, QString::fromLatin1(name));
    }
    RuleGrid *grid() { return m_list->grid(); }
    void click(const char *name)
    {
        QTest::mouseClick(in<QPushButton>(m_list, name), Qt::LeftButton);
    }
    void pressRow(int row)
    {
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->visualItemRect(grid()->item(row - 1, 1)).center());
    }
    void key(Qt::Key k) { QTest::keyClick(in<QLineEdit>(m_list, "Text1"), k); }
    bool buttons(bool del, bool up, bool down)
    {
        return in<QPushButton>(m_list, "cmdDel")->isEnabled() == del
            && in<QPushButton>(m_list, "cmdChange_0")->isEnabled() == up
            && in<QPushButton>(m_list, "cmdChange_1")->isEnabled() == down;
    }

    // Opens the editor with `open` and runs `act` on it while the list waits for it; an editor
    // still open afterwards is closed, so a failing check never leaves the list waiting.
    void withEditor(const std::function<void()> &open,
                    const std::function<void(RuleEditorDialog *)> &act)
    {
        bool done = false;
        QTimer::singleShot(0, this, [this, act, &done] {
            done = true;
            QPointer<RuleEditorDialog> editor = m_list->editor();
            QVERIFY(editor);
            QVERIFY(!m_list->isEnabled());
            act(editor);
            if (editor)
                editor->close();
            QVERIFY(m_list->isEnabled());
        });
        open();
        QTRY_VERIFY(done);
    }
    static void fill(RuleEditorDialog *e, const QString &text, int position, int colour, bool check)
    {
        in<QLineEdit>(e, "txtName")->setText(text);
        in<QComboBox>(e, "cboRule")->setCurrentIndex(position);
        if (colour >= 0)
            in<QComboBox>(e, "cboColor")->setCurrentIndex(colour);
        in<QCheckBox>(e, "chkRule")->setChecked(check);
        QTest::mouseClick(in<QPushButton>(e, "OKButton"), Qt::LeftButton);
    }
    void addRule(const QString &text, int position, int colour, int expectedNumber = 0)
    {
        withEditor([this] { click("cmdAdd"); },
                   [&](RuleEditorDialog *e) {
                       if (expectedNumber)
                           QCOMPARE(e->number(), expectedNumber);
                       fill(e, text, position, colour, true);
                   });
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        m_state.settings.iniPath = m_dir.filePath(QStringLiteral("基本設定よ.ini"));
        m_state.palette = colorcode::defaultPalette();
    }
    void init()
    {
        QFile::remove(m_state.settings.iniPath);
        m_shown.clear();
    }
    void cleanup() { delete m_list.data(); }

    void addingToEmptyListAndConfirming()
    {
        openList();
        QCOMPARE(grid()->gridRows(), 2);
        QVERIFY(grid()->isNoRuleState());
        QCOMPARE(m_list->selRow(), 1);
        QVERIFY(grid()->hasSelectedLook(1));
        QVERIFY(buttons(false, false, false));
        bool opened = false;
        QTimer::singleShot(0, this, [&] {
            if (RuleEditorDialog *e = m_list->editor()) {
                opened = true;
                e->close();
            }
        });
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {},
                           grid()->visualItemRect(grid()->item(0, 1)).center());
        QTest::qWait(10);
        QVERIFY(!opened);
        QCOMPARE(m_list->editor(), nullptr);

        addRule(QStringLiteral("  さん "), 2, 2);
        QCOMPARE(m_list->ruleEditorCloses(), 2);
        QCOMPARE(m_list->rules(), RuleList {San});
        QCOMPARE(grid()->cellText(1, 0), QStringLiteral("1"));
        QCOMPARE(grid()->cellText(1, 1), QStringLiteral("『さん』が"));
        QCOMPARE(grid()->cellText(1, 3), QStringLiteral(" 発言の色－０３"));
        QCOMPARE(grid()->cellText(1, 4), QStringLiteral("3"));
        QCOMPARE(grid()->cellColor(1, 2), ui::colorFromCode(m_state.palette[2].code));
        QCOMPARE(m_list->selRow(), -1);

        click("cmdOk");
        QTRY_VERIFY(!m_list);
        QCOMPARE(stored(QStringLiteral("Count")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("rule_01")), QStringLiteral("03<$>さん<$>最後にあったら"));
    }

    void unreadableFirstRecordShowsHeaderOnly()
    {
        writeIniValue(m_state.settings.iniPath, RuleSection, QStringLiteral("Count"), "2");
        writeIniValue(m_state.settings.iniPath, RuleSection, QStringLiteral("rule_01"),
                      "3<$>x<$>y");
        openList();
        QCOMPARE(grid()->gridRows(), 1);
        QCOMPARE(m_list->selRow(), -1);
        addRule(QStringLiteral("A"), 0, 1, 1);
        QCOMPARE(grid()->gridRows(), 2);
        click("cmdOk");
        QCOMPARE(stored(QStringLiteral("Count")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("rule_01")), QStringLiteral("02<$>A<$>先頭にあったら"));
    }

    void movingAndDeleting()
    {
        const RuleList four = numbered(4);
        store(four);
        openList();
        QVERIFY(buttons(false, false, false));
        pressRow(1);
        key(Qt::Key_Up); // nothing above row 1
        QCOMPARE(m_list->selRow(), 1);
        QVERIFY(buttons(true, false, true));
        key(Qt::Key_Down);
        key(Qt::Key_Down);
        QCOMPARE(m_list->selRow(), 3);
        QVERIFY(buttons(true, true, true));
        QVERIFY(!grid()->hasSelectedLook(1) && grid()->hasSelectedLook(3));
        click("cmdChange_0");
        QCOMPARE(m_list->selRow(), 2);
        QCOMPARE(m_list->rules(), (RuleList {four[0], four[2], four[1], four[3]}));
        QCOMPARE(grid()->cellText(2, 0), QStringLiteral("2"));
        QCOMPARE(grid()->cellText(2, 1), QStringLiteral("『r3』が"));
        QCOMPARE(grid()->cellColor(2, 1), ui::colorFromCode(m_state.palette[3].code));
        QVERIFY(grid()->hasSelectedLook(2) && !grid()->hasSelectedLook(3));

        key(Qt::Key_Delete); // rule 2 of 4 goes; the rows below move up and are renumbered
        QCOMPARE(m_list->rules(), (RuleList {four[0], four[1], four[3]}));
        QCOMPARE(grid()->cellText(3, 0), QStringLiteral("3"));
        QCOMPARE(grid()->cellText(3, 1), QStringLiteral("『r4』が"));
        QCOMPARE(m_list->selRow(), -1);
        QVERIFY(buttons(false, false, false));
        pressRow(3);
        key(Qt::Key_Down); // nothing below the last row
        QCOMPARE(m_list->selRow(), 3);
        QVERIFY(buttons(true, true, false));
        for (int left = 3; left > 0; --left) {
            pressRow(1);
            QVERIFY(buttons(true, false, left > 1));
            click("cmdDel");
        }
        QVERIFY(grid()->isNoRuleState());
        QVERIFY(buttons(false, false, false));

        // Cancelling after all that leaves the file as it was.
        const QByteArray before = fileBytes(m_state.settings.iniPath);
        click("cmdCancel");
        QTRY_VERIFY(!m_list);
        QCOMPARE(fileBytes(m_state.settings.iniPath), before);
    }

    void pagingWithFortyRules()
    {
        store(numbered(40));
        openList();
        QVERIFY(QTest::qWaitForWindowExposed(m_list));
        QCOMPARE(m_list->pageRows(), 13);
        pressRow(5);
        QCOMPARE(grid()->firstVisibleRow(), 1);
        QHash<int, int> top;
        for (int row = 6; row <= 40; ++row) {
            key(Qt::Key_Down);
            top[m_list->selRow()] = grid()->firstVisibleRow();
        }
        QCOMPARE(top[14], 12);
        QCOMPARE(top[30], 25);
        QCOMPARE(top[39], 25);
        QCOMPARE(top[40], 25);
    }

    void editorChecks_data()
    {
        QTest::addColumn<int>("edit"); // 0: a new rule
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("check");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<int>("ruleCount");
        const QString same = QStringLiteral("同じのあるざます。ヽ(`Д´)ﾉ ");
        QTest::newRow("blank") << 0 << QStringLiteral("   ") << 0 << true
                               << QStringLiteral("空白ざます。ヽ(`Д´)ﾉ ") << 2;
        QTest::newRow("separator") << 0 << QStringLiteral("a<$>b") << 0 << true
                                   << QStringLiteral("「<$>」は使えないざます。ヽ(`Д´)ﾉ ") << 2;
        QTest::newRow("unstorable") << 0 << QStringLiteral("\U0001F600") << 0 << true
                                    << QStringLiteral("使えない文字があるざます。ヽ(`Д´)ﾉ ") << 2;
        QTest::newRow("duplicate") << 0 << QStringLiteral(" さん") << 2 << true << same << 2;
        QTest::newRow("duplicate unchecked")
            << 0 << QStringLiteral("さん") << 2 << false << QString() << 3;
        QTest::newRow("other position")
            << 0 << QStringLiteral("さん") << 1 << true << QString() << 3;
        QTest::newRow("edit unchanged")
            << 1 << QStringLiteral("さん") << 2 << true << QString() << 2;
        QTest::newRow("edit into rule 1") << 2 << QStringLiteral("さん") << 2 << true << same << 2;
    }
    void editorChecks()
    {
        QFETCH(int, edit);
        QFETCH(QString, text);
        QFETCH(int, position);
        QFETCH(bool, check);
        QFETCH(QString, refusal);
        QFETCH(int, ruleCount);
        store({San, StartsA});
        openList();
        auto open = [&] {
            if (edit == 0) {
                click("cmdAdd");
                return;
            }
            pressRow(edit);
            QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {},
                               grid()->visualItemRect(grid()->item(edit - 1, 1)).center());
        };
        bool stayedOpen = false;
        withEditor(open, [&](RuleEditorDialog *e) {
            auto *name = in<QLineEdit>(e, "txtName");
            if (edit)
                QCOMPARE(name->text(), m_list->rules()[edit - 1].text);
            fill(e, text, position, -1, check);
            stayedOpen = e->isVisible();
            if (stayedOpen && refusal != QStringLiteral("空白ざます。ヽ(`Д´)ﾉ "))
                QCOMPARE(name->selectedText(), name->text());
        });
        QCOMPARE(stayedOpen, !refusal.isEmpty());
        QCOMPARE(m_shown.size(), refusal.isEmpty() ? 0 : 1);
        if (!refusal.isEmpty()) {
            QCOMPARE(m_shown[0].prompt, refusal);
            QCOMPARE(m_shown[0].title, QStringLiteral("やり直して"));
        }
        QCOMPARE(m_list->rules().size(), ruleCount);
        QCOMPARE(m_list->ruleEditorCloses(), refusal.isEmpty() ? 2 : 1);
    }

    void editorKeysAndColours()
    {
        store({San});
        openList();
        withEditor([this] { click("cmdAdd"); },
                   [this](RuleEditorDialog *e) {
                       QVERIFY(e->bNew);
                       QCOMPARE(e->windowTitle(), QStringLiteral("（ﾟ∀ﾟﾉﾉ☆ ルール作成 - 新規追加"));
                       auto *name = in<QLineEdit>(e, "txtName");
                       auto *colour = in<ColorComboBox>(e, "cboColor");
                       QCOMPARE(e->focusWidget(), name);
                       colour->setCurrentIndex(4);
                       QCOMPARE(e->focusWidget(), in<QPushButton>(e, "OKButton"));
                       const QColor wanted = ui::colorFromCode(m_state.palette[4].code);
                       QCOMPARE(name->palette().color(QPalette::Text), wanted);
                       QCOMPARE(in<ColorComboBox>(e, "cboRule")->textColor(), wanted);
                       QCOMPARE(colour->textColor(), wanted);
                       name->setText(QStringLiteral(" "));
                       QTest::keyClick(e->focusWidget(), Qt::Key_Return); // OK takes Return
                       QCOMPARE(m_shown.size(), 1);
                       QCOMPARE(m_shown[0].prompt, QStringLiteral("空白ざます。ヽ(`Д´)ﾉ "));
                       name->setText(QStringLiteral("x"));
                       QTest::keyClick(name, Qt::Key_Return);
                       QTest::keyClick(name, Qt::Key_Enter);
                       QVERIFY(e->isVisible());
                       QTest::keyClick(name, Qt::Key_Escape);
                   });
        QCOMPARE(m_list->ruleEditorCloses(), 1);
        QCOMPARE(m_list->rules(), RuleList {San});

        // The list's own Enter confirms, its Escape cancels.
        const QByteArray before = fileBytes(m_state.settings.iniPath);
        pressRow(1);
        click("cmdDel");
        key(Qt::Key_Escape);
        QTRY_VERIFY(!m_list);
        QCOMPARE(fileBytes(m_state.settings.iniPath), before);
        openList();
        pressRow(1);
        click("cmdDel");
        key(Qt::Key_Return);
        QTRY_VERIFY(!m_list);
        QCOMPARE(stored(QStringLiteral("Count")), QStringLiteral("0"));
        QCOMPARE(stored(QStringLiteral("rule_01")), QStringLiteral("***削除していいです***"));
    }

    void hundredthRuleRefused()
    {
        store(numbered(99));
        openList();
        click("cmdAdd");
        QCOMPARE(m_list->editor(), nullptr);
        QCOMPARE(m_shown.size(), 1);
        QCOMPARE(m_shown[0].prompt, QStringLiteral("ルールは９９個までざます。ヽ(`Д´)ﾉ "));
        QVERIFY(m_list->isEnabled());
    }

    void hoverToolTip()
    {
        store({San});
        openList();
        QVERIFY(QTest::qWaitForWindowExposed(m_list));
        QTest::mouseMove(grid()->viewport(), grid()->visualItemRect(grid()->item(0, 2)).center());
        QTRY_COMPARE(grid()->toolTip(),
                     QStringLiteral(" 『さん』が最後にあったら文字色を『発言の色－０３』にする "));
        QCOMPARE(grid()->viewport()->cursor().shape(), Qt::BitmapCursor);
        QTest::mouseMove(grid()->viewport(), QPoint(5, grid()->viewport()->height() - 3));
        QTRY_COMPARE(grid()->toolTip(), QString());
    }

    // A rule made in the dialog decides a speaker's colour in the next HTML conversion.
    void ruleColoursTheNextConversion()
    {
        openList();
        addRule(QStringLiteral("さん"), 2, 4);
        click("cmdOk");
        QTRY_VERIFY(!m_list);

        // Everything else at its defaults: rules on, header " の発言：", prefix "_".
        loadSettings(m_state.settings, m_state.palette);
        const QString log = m_dir.filePath(QStringLiteral("chat.txt"));
        QFile file(log);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(cp932::encode(QStringLiteral("あい の発言：\r\nやあ\r\n"
                                                "たろうさん の発言：\r\nこんにちは\r\n")));
        file.close();
        m_state.selection.setItems({{log, m_dir.filePath(QStringLiteral("_chat."))}});

        RecordingHost host;
        convertToHtml(m_state, host);
        QCOMPARE(host.speakerDialogs.size(), 1);
        QHash<QString, QString> entries;
        for (const SpeakerTableEntry &e : host.speakerDialogs[0].table)
            entries[e.name] = e.paletteIndex;
        QCOMPARE(entries.value(QStringLiteral("たろうさん")), QStringLiteral("5"));
        QCOMPARE(entries.value(QStringLiteral("あい")), QStringLiteral("1"));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("_chat.htm"))));
    }

    // A confirmed list that can't be written says so and stays open, losing nothing.
    void failedSaveKeepsTheDialog_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("a folder: neither readable nor writable") << false;
        QTest::newRow("full disk: the earlier file stays") << true;
    }

    void failedSaveKeepsTheDialog()
    {
        QFETCH(bool, fullDisk);
        const QString ini = m_state.settings.iniPath;
        store({});
        const QByteArray before = fileBytes(ini);
        if (!fullDisk)
            m_state.settings.iniPath = m_dir.path();
        openList();
        addRule(QStringLiteral("A"), 0, 0);
        {
            std::optional<FileSizeLimit> full;
            if (fullDisk)
                full.emplace(16);
            click("cmdOk");
        }
        m_state.settings.iniPath = ini;
        QCOMPARE(m_shown.size(), 1);
        QCOMPARE(m_shown[0].title, QStringLiteral("保存できないっす"));
        QCOMPARE(m_shown[0].prompt,
                 u"設定ファイルに書き込めなかったよ…\n"_qs + (fullDisk ? ini : m_dir.path())
                     + u"\nルールは保存されてないからね");
        QVERIFY(m_list && m_list->isVisible());
        QCOMPARE(m_list->rules().size(), 1);
        QCOMPARE(fileBytes(ini), before);
    }

    // Colour fields have two digits: palette entries past 99 are not offered.
    void colourListStopsAtNinetyNine()
    {
        const Palette saved = m_state.palette;
        for (int n = 9; n <= 120; ++n)
            m_state.palette.append(
                {colorcode::defaultColorCode(n), colorcode::defaultColorLabel(n)});
        openList();
        withEditor(
            [this] { click("cmdAdd"); },
            [](RuleEditorDialog *e) { QCOMPARE(in<QComboBox>(e, "cboColor")->count(), 99); });
        m_state.palette = saved;
    }

    // The owner is disabled while the list is open; the list must still work, and go with
    // the owner even when that happens while the list waits for its editor.
    void usableWhileOwnerDisabled()
    {
        auto *owner = new QWidget;
        owner->show();
        m_list = qobject_cast<RuleListDialog *>(createRuleListDialog(m_state, recorder(), owner));
        owner->setEnabled(false);
        m_list->show();
        QVERIFY(m_list->isEnabled());
        QPointer<RuleEditorDialog> editor;
        withEditor([this] { click("cmdAdd"); },
                   [&](RuleEditorDialog *e) {
                       editor = e;
                       delete owner;
                   });
        QTRY_VERIFY(!m_list);
        QTRY_VERIFY(!editor);
    }

    // A deletion that arrives while the list waits for its editor waits too.
    void deletedWhileWaiting()
    {
        openList();
        QPointer<RuleEditorDialog> editor;
        QTimer::singleShot(0, this, [&] {
            editor = m_list->editor();
            m_list->deleteLater();
            QTimer::singleShot(50, editor, &QWidget::close);
        });
        click("cmdAdd");
        QTRY_VERIFY(!m_list);
        QVERIFY(!editor);
    }
};

QTEST_MAIN(TestRuleDialogs)
#include "tst_ruledialogs.moc"
