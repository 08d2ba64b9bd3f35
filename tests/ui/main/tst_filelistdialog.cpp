#include "engine/selection.h"
#include "ui/main/filelistdialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

// Only the user's own choice of an item lets "削除" remove the checked ones.
class TestFileListDialog : public QObject
{
    Q_OBJECT

    QStringList m_titles;
    Selection m_selection;

private slots:
    void init()
    {
        m_titles.clear();
        m_selection.items = {{"/logs/a.txt", "/logs/_a."},
                             {"/logs/b.txt", "/logs/_b."},
                             {"/logs/c.xml", "/logs/_c."}};
        m_selection.selectedCount = 3;
    }

    void deleteWantsAChosenItem()
    {
        FileListDialog dialog(
            m_selection,
            [this](QWidget *, RunHost::Icon icon, const QString &prompt, const QString &title) {
                QCOMPARE(icon, RunHost::Icon::Critical);
                QCOMPARE(prompt, QStringLiteral("まずはファイルを選んでね（にっこり"));
                m_titles.append(title);
            });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        auto *list = dialog.findChild<QListWidget *>("List1");
        auto *del = dialog.findChild<QPushButton *>("cmdDel");
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(list->item(i)->toolTip(), m_selection.items[i].path);
            QCOMPARE(list->item(i)->checkState(), Qt::Unchecked);
        }
        list->setFocus(Qt::TabFocusReason); // taking the focus chooses no item
        list->item(0)->setCheckState(Qt::Checked);
        del->click();
        QCOMPARE(m_titles, QStringList {QStringLiteral("怒")});
        QCOMPARE(list->count(), 3);

        list->setCurrentRow(1);
        del->click();
        QCOMPARE(m_selection.selectedCount, 2);
        QCOMPARE(m_selection.items[0].stem, QStringLiteral("/logs/_b."));
        QCOMPARE(m_selection.items[1].stem, QStringLiteral("/logs/_c."));
        del->click(); // the choice is spent with the delete
        QCOMPARE(m_titles.size(), 2);
    }
};

QTEST_MAIN(TestFileListDialog)
#include "tst_filelistdialog.moc"
