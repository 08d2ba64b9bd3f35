// During a long conversion started from the main window, pending events are processed at least
// every 100 ms of work: a 10 ms timer records the gaps between its ticks.
#include "hostilesupport.h"
#include "ui/main/mainwindowfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTimer>

namespace {

// A log of many short utterances (several speakers, markup and hearts for the page).
void writeLog(const QString &path, qint64 bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QByteArray block;
    for (int i = 0; block.size() < (1 << 20); ++i) {
        block += cp932::encode(QStringLiteral("話者%1 の発言：\r\n").arg(i % 12));
        block += cp932::encode(QStringLiteral("<b>こんにちは</b> (L) %1\r\n").arg(i));
    }
    for (qint64 written = 0; written < bytes; written += block.size())
        QCOMPARE(f.write(block), block.size());
}

} // namespace

class Responsiveness : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void eventsDuringRun_data()
    {
        // Sizes that take a few seconds, with or without the sanitizers.
        QTest::addColumn<int>("changeType");
        QTest::addColumn<int>("megabytes");
        QTest::newRow("text") << 0 << 80;
        QTest::newRow("html") << 1 << 40;
    }

    void eventsDuringRun()
    {
        QFETCH(int, changeType);
        QFETCH(int, megabytes);
        MainWindowFixture f;
        f.preset(QStringLiteral("ChangeType"), QStringLiteral("type"), QString::number(changeType));
        const QString log = f.dir.filePath(QStringLiteral("big.txt"));
        writeLog(log, qint64(megabytes) << 20);
        QVERIFY(!f.start());
        f.dialogAnswers = {{log}};
        f.find<QAction>("mnuFileOpen")->trigger();
        QCOMPARE(f.state.selection.selectedCount(), 1);

        // Ticks while the run works; the time the speaker colour dialog stays open is waiting,
        // not work, and the dialog is confirmed at once.
        QElapsedTimer clock;
        qint64 last = -1, worst = 0;
        int ticks = 0;
        bool dialogSeen = false;
        QTimer timer;
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [&] {
            const qint64 now = clock.elapsed();
            if (last >= 0)
                worst = qMax(worst, now - last);
            last = now;
            ++ticks;
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (w->objectName() == u"frmColorSet" && w->isVisible()) {
                    dialogSeen = true;
                    if (auto *ok = w->findChild<QAbstractButton *>(QStringLiteral("cmdOk")))
                        ok->click();
                }
            }
        });
        clock.start();
        timer.start();
        f.find<QAction>("mnuRun")->trigger();
        timer.stop();
        const qint64 total = clock.elapsed();
        qInfo("run took %lld ms, %d ticks, longest gap %lld ms", total, ticks, worst);

        QCOMPARE(dialogSeen, changeType == 1);
        QVERIFY(QFile::exists(
            f.dir.filePath(changeType ? QStringLiteral("_big.htm") : QStringLiteral("_big.txt"))));
        QVERIFY2(total > 300, "the log is too small to tell");
        // 100 ms of work, plus one timer interval and some slack for a busy machine.
        QVERIFY2(worst <= 150, qPrintable(QString::number(worst)));
    }
};

QTEST_MAIN(Responsiveness)
#include "tst_responsiveness.moc"
