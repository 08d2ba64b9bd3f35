// During a long conversion started from the main window, pending events are processed after a
// bounded amount of work. A zero-interval timer ticks at every such point; the progress bar's
// value at each tick shows how many lines went by in between. Nothing here is timed: the longest
// pause in milliseconds is measured by scripts/bench.
#include "engine/convert/runsteps.h"
#include "hostilesupport.h"
#include "ui/main/mainwindowfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTimer>

namespace {

// A log of many short utterances (several speakers, markup and hearts for the page); returns
// its number of lines.
int writeLog(const QString &path, int utterances)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return 0;
    for (int i = 0; i < utterances; ++i) {
        f.write(cp932::encode(QStringLiteral("話者%1 の発言：\r\n").arg(i % 12)));
        f.write(cp932::encode(QStringLiteral("<b>こんにちは</b> (L) %1\r\n").arg(i)));
    }
    return 2 * utterances;
}

} // namespace

class Responsiveness : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void eventsDuringRun_data()
    {
        QTest::addColumn<int>("changeType");
        QTest::newRow("text") << 0;
        QTest::newRow("html") << 1;
    }

    void eventsDuringRun()
    {
        QFETCH(int, changeType);
        MainWindowFixture f;
        f.preset(QStringLiteral("ChangeType"), QStringLiteral("type"), QString::number(changeType));
        const QString log = f.dir.filePath(QStringLiteral("big.txt"));
        const int lines = writeLog(log, 100000);
        QVERIFY(!f.start());
        f.dialogAnswers = {{log}};
        f.find<QAction>("mnuFileOpen")->trigger();
        QCOMPARE(f.state.selection.selectedCount(), 1);

        // Each pump runs the timer once; the speaker colour dialog is confirmed at once.
        auto *bar = f.find<QProgressBar>("PBar");
        QVERIFY(bar);
        QList<int> values;
        bool dialogSeen = false;
        QTimer timer;
        timer.setInterval(0);
        connect(&timer, &QTimer::timeout, this, [&] {
            values.append(bar->value());
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (w->objectName() == u"frmColorSet" && w->isVisible()) {
                    dialogSeen = true;
                    if (auto *ok = w->findChild<QAbstractButton *>(QStringLiteral("cmdOk")))
                        ok->click();
                }
            }
        });
        timer.start();
        f.find<QAction>("mnuRun")->trigger();
        timer.stop();

        QCOMPARE(dialogSeen, changeType == 1);
        QVERIFY(QFile::exists(
            f.dir.filePath(changeType ? QStringLiteral("_big.htm") : QStringLiteral("_big.txt"))));
        // The page reads the log twice; the bar moves in the last pass, a step at a time.
        const int passes = changeType ? 2 : 1;
        QVERIFY2(values.size() >= passes * lines / EventPump::PumpLines,
                 qPrintable(QString::number(values.size())));
        const int step = qMax(1, lines / 1000);
        int longest = 0;
        for (qsizetype i = 1; i < values.size(); ++i)
            longest = qMax(longest, values[i] - values[i - 1]);
        QVERIFY2(longest <= EventPump::PumpLines + step, qPrintable(QString::number(longest)));
    }
};

QTEST_MAIN(Responsiveness)
#include "tst_responsiveness.moc"
