#include "engine/selection.h"
#include "ui/main/filelistdialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

Selection threeLogs()
{
    Selection s;
    s.items = {
        {"/logs/a.txt", "/logs/_a."}, {"/logs/b.txt", "/logs/_b."}, {"/logs/c.xml", "/logs/_c."}};
    s.selectedCount = 3;
    return s;
}

} // namespace

class TestFileListDialog : public QObject
{
    Q_OBJECT

    struct Message
    {
        QString prompt;
        QString title;
    };
    QList<Message> m_messages;

    MessageFunction recorder()
    {
        return [this](QWidget *, RunHost::Icon icon, const QString &prompt, const QString &title) {
            QCOMPARE(icon, RunHost::Icon::Critical);
            m_messages.append({prompt, title});
        };
    }

private slots:
    void init() { m_messages.clear(); }

    void opensWithUncheckedPathsInOrder()
    {
        Selection s = threeLogs();
        FileListDialog dialog(s, recorder());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("選択ファイルリスト"));
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        auto *list = dialog.findChild<QListWidget *>("List1");
        QCOMPARE(list->count(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(list->item(i)->text(), s.items[i].path);
            QCOMPARE(list->item(i)->checkState(), Qt::Unchecked);
            QCOMPARE(list->item(i)->toolTip(), s.items[i].path);
        }
        QCOMPARE(list->currentRow(), -1);
    }

    void deleteBeforeAnyChoiceComplains()
    {
        Selection s = threeLogs();
        FileListDialog dialog(s, recorder());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto *list = dialog.findChild<QListWidget *>("List1");
        list->setFocus(Qt::TabFocusReason); // taking the focus makes no item current
        list->item(0)->setCheckState(Qt::Checked);
        dialog.findChild<QPushButton *>("cmdDel")->click();
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].prompt, QStringLiteral("まずはファイルを選んでね（にっこり"));
        QCOMPARE(m_messages[0].title, QStringLiteral("怒"));
        QCOMPARE(s.selectedCount, 3);
        QCOMPARE(list->count(), 3);
    }

    void deleteRemovesCheckedPairs_data()
    {
        QTest::addColumn<QList<int>>("checked");
        QTest::addColumn<QStringList>("stems"); // left, in order
        QTest::newRow("first and third") << QList<int> {0, 2} << QStringList {"/logs/_b."};
        QTest::newRow("none") << QList<int> {}
                              << QStringList {"/logs/_a.", "/logs/_b.", "/logs/_c."};
        QTest::newRow("all") << QList<int> {0, 1, 2} << QStringList {};
    }

    void deleteRemovesCheckedPairs()
    {
        QFETCH(QList<int>, checked);
        QFETCH(QStringList, stems);
        Selection s = threeLogs();
        FileListDialog dialog(s, recorder());
        auto *list = dialog.findChild<QListWidget *>("List1");
        list->setCurrentRow(2);
        for (int i : checked)
            list->item(i)->setCheckState(Qt::Checked);
        dialog.findChild<QPushButton *>("cmdDel")->click();
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(s.selectedCount, stems.size());
        QCOMPARE(s.items.size(), stems.size());
        for (int i = 0; i < stems.size(); ++i) {
            QCOMPARE(s.items[i].stem, stems[i]);
            QCOMPARE(s.items[i].path, list->item(i)->text()); // still paired
        }
        QCOMPARE(list->currentRow(), -1); // a second press needs a new choice
        dialog.findChild<QPushButton *>("cmdDel")->click();
        QCOMPARE(m_messages.size(), 1);
    }
};

QTEST_MAIN(TestFileListDialog)
#include "tst_filelistdialog.moc"
