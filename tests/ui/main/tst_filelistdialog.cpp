#include "engine/selection.h"
#include "support/controls.h"
#include "ui/main/filelistdialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTest>

// "削除" removes the checked files once the user has chosen an item, by clicking it or by
// ticking its box; before that it refuses.
class TestFileListDialog : public QObject
{
    Q_OBJECT

    QStringList m_titles;
    Selection m_selection;

    // A click on the check box of item `row`.
    static void tick(QListWidget *list, int row)
    {
        const QRect r = list->visualItemRect(list->item(row));
        const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list);
        const int width = list->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, list);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          QPoint(r.left() + margin + 1 + width / 2, r.center().y()));
        QCOMPARE(list->item(row)->checkState(), Qt::Checked);
    }

private slots:
    void init()
    {
        m_titles.clear();
        m_selection.setItems({{"/logs/a.txt", "/logs/_a."},
                              {"/logs/b.txt", "/logs/_b."},
                              {"/logs/c.xml", "/logs/_c."}});
    }

    void deleteWantsAChosenItem_data()
    {
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<int>("clicked"); // the item clicked on its text, -1 none
        QTest::addColumn<QStringList>("left");
        QTest::newRow("nothing touched")
            << QList<int> {} << -1 << QStringList {"/logs/_a.", "/logs/_b.", "/logs/_c."};
        QTest::newRow("first and third ticked")
            << QList<int> {0, 2} << -1 << QStringList {"/logs/_b."};
        QTest::newRow("clicked, none ticked")
            << QList<int> {} << 1 << QStringList {"/logs/_a.", "/logs/_b.", "/logs/_c."};
        QTest::newRow("first ticked, third clicked")
            << QList<int> {0} << 2 << QStringList {"/logs/_b.", "/logs/_c."};
    }

    void deleteWantsAChosenItem()
    {
        QFETCH(QList<int>, ticked);
        QFETCH(int, clicked);
        QFETCH(QStringList, left);
        FileListDialog dialog(
            m_selection,
            [this](QWidget *, QMessageBox::Icon icon, const QString &prompt, const QString &title) {
                QCOMPARE(icon, QMessageBox::Critical);
                QCOMPARE(prompt, QStringLiteral("まずはファイルを選んでね（にっこり"));
                m_titles.append(title);
            });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        auto *list = control<QListWidget>(&dialog, QStringLiteral("List1"));
        auto *del = control<QPushButton>(&dialog, QStringLiteral("cmdDel"));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(list->item(i)->toolTip(), m_selection.path(i));
            QCOMPARE(list->item(i)->checkState(), Qt::Unchecked);
        }
        list->setFocus(Qt::TabFocusReason); // taking the focus chooses no item
        for (int row : ticked)
            tick(list, row);
        if (clicked >= 0)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(clicked)).center());
        del->click();
        const bool touched = !ticked.isEmpty() || clicked >= 0;
        QCOMPARE(m_titles, touched ? QStringList() : QStringList {QStringLiteral("怒")});
        QStringList stems;
        for (const Selection::Item &item : m_selection.items())
            stems.append(item.stem);
        QCOMPARE(stems, left);
        QCOMPARE(m_selection.selectedCount(), left.size());
        QCOMPARE(list->count(), left.size());

        del->click(); // the choice is spent with the delete
        QCOMPARE(m_titles.size(), touched ? 1 : 2);
        // Return on the list presses no button, not even one that had the focus before.
        del->setFocus();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(m_titles.size(), touched ? 1 : 2);
    }
};

QTEST_MAIN(TestFileListDialog)
#include "tst_filelistdialog.moc"
