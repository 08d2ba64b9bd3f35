#include "mainwindowfixture.h"
#include "ui/main/guistart.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

// The program's own start: runGui owns the window and returns when it has shut down.
class TestGuiStart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // A fast run hides the window; a message box closing meanwhile is not the last window
    // going away, so the program goes on until its window is closed.
    void fastRunWithAMessageKeepsTheProgram()
    {
        MainWindowFixture f;
        f.preset("Speed", "UP", "1");
        const QString good = f.chatLog("a.txt");
        const QString speakerless = f.dir.filePath("b.txt");
        QFile(speakerless).open(QIODevice::WriteOnly);
        QStringList seen; // message boxes and dialogs that came up, answered at once
        bool stillRunning = false;
        QTimer user;
        connect(&user, &QTimer::timeout, [&] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (!w->isVisible() || w->objectName() == u"frmMain")
                    continue;
                auto *box = qobject_cast<QMessageBox *>(w);
                seen.append(box ? box->windowTitle() : w->objectName());
                w->close();
            }
        });
        user.start(20);
        QTimer::singleShot(0, [&] {
            QWidget *main = nullptr;
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->objectName() == u"frmMain")
                    main = w;
            QVERIFY(main && main->isVisible());
            auto *box = main->findChild<QTextEdit *>("rTxt");
            QMimeData mime;
            mime.setUrls({QUrl::fromLocalFile(good), QUrl::fromLocalFile(speakerless)});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
            QCoreApplication::sendEvent(box->viewport(), &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
            QCoreApplication::sendEvent(box->viewport(), &drop);
            main->findChild<QAction *>("mnuRun")->trigger();
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
};

QTEST_MAIN(TestGuiStart)
#include "tst_guistart.moc"
