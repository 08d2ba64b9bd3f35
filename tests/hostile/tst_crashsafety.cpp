// Killed in the middle of writing (SIGKILL, no chance to clean up): the earlier file of the
// same name is intact and nothing partial is left under its name.
#include "hostilesupport.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace hostile;

namespace {

// The size of a file the process holds open in `dir`, other than its inputs, or -1. The save
// file's temporary may have no name at all (then its link ends in "(deleted)").
qint64 openOutputSize(qint64 pid, const QString &dir, const QStringList &inputs)
{
    QDirIterator fds(QStringLiteral("/proc/%1/fd").arg(pid), QDir::System | QDir::Files);
    while (fds.hasNext()) {
        const QString fd = fds.next();
        const QString target = QFileInfo(fd).symLinkTarget();
        if (target.startsWith(dir + u'/') && !inputs.contains(target))
            return QFileInfo(fd).size();
    }
    return -1;
}

// Entries left in the folder besides the expected ones.
QStringList strayEntries(const QString &dir, const QStringList &expected)
{
    QStringList stray = entries(dir);
    for (const QString &e : expected)
        stray.removeAll(e);
    return stray;
}

void writeLog(const QString &path, qint64 bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QByteArray block;
    for (int i = 0; block.size() < (1 << 20); ++i) {
        block += "speaker" + QByteArray::number(i % 40) + " \x82\xcc\x94\xad\x8c\xbe\x81\x46\r\n";
        block += "<b>message</b> line " + QByteArray::number(i) + " (L)\r\n";
    }
    for (qint64 written = 0; written < bytes; written += block.size())
        QCOMPARE(f.write(block), block.size());
}

} // namespace

class CrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void conversionKilled_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("output");
        QTest::newRow("html") << QStringLiteral("--html") << QStringLiteral("_big.htm");
        QTest::newRow("text") << QStringLiteral("--text") << QStringLiteral("_big.txt");
    }

    void conversionKilled()
    {
        QFETCH(QString, mode);
        QFETCH(QString, output);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString log = dir.filePath(QStringLiteral("big.txt"));
        const QString out = dir.filePath(output);
        const QString settings = dir.filePath(QStringLiteral("settings.ini"));
        writeLog(log, (Sanitized ? 12LL : 30LL) << 20);
        QVERIFY(writeFile(settings,
                          "[Hatsugen]\r\nType=1\r\nKotoba=\x82\xcc\x94\xad\x8c\xbe\x81\x46\r\n"));
        const QByteArray earlier = "the earlier output\r\n";
        QVERIFY(writeFile(out, earlier));

        QProcess p;
        p.setProcessEnvironment(headlessEnvironment());
        p.start(programPath(),
                {QStringLiteral("--batch"), QStringLiteral("--settings"), settings, mode, log});
        QVERIFY(p.waitForStarted());
        // Until it writes, or ends by itself; a run that hangs is ended by the test's timeout.
        qint64 size = -1;
        while (size <= 0 && p.state() == QProcess::Running) {
            QThread::msleep(2);
            size = openOutputSize(p.processId(), dir.path(), {log, settings});
        }
        QVERIFY2(size > 0, "the conversion never started writing its output");
        p.kill(); // SIGKILL
        QVERIFY(p.waitForFinished(10'000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        qInfo("killed with %lld bytes written", size);

        QCOMPARE(readFile(out), earlier);
        const QStringList stray = strayEntries(
            dir.path(), {QStringLiteral("big.txt"), output, QStringLiteral("settings.ini")});
        QVERIFY2(stray.isEmpty(), qPrintable(stray.join(u' ')));
    }

    void settingsSaveKilled()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString ini = dir.filePath(QStringLiteral("settings.ini"));
        const auto helper = [&](const QString &mode) {
            return QProcess::execute(QStringLiteral(PELORIN_SETTINGS_LOOP), {ini, mode});
        };
        QCOMPARE(helper(QStringLiteral("A")), 0);
        const QByteArray a = readFile(ini);
        QCOMPARE(helper(QStringLiteral("B")), 0);
        const QByteArray b = readFile(ini);
        QVERIFY(a.size() > (1 << 20) && a != b);

        QRandomGenerator gen(3);
        for (int round = 0; round < (Sanitized ? 4 : 8); ++round) {
            QProcess p;
            p.start(QStringLiteral(PELORIN_SETTINGS_LOOP), {ini, QStringLiteral("loop")});
            QVERIFY(p.waitForStarted());
            QVERIFY(p.waitForReadyRead(30'000));
            QThread::msleep(20 + gen.bounded(400));
            p.kill();
            QVERIFY(p.waitForFinished(10'000));
            const QByteArray now = readFile(ini);
            QVERIFY2(now == a || now == b, qPrintable(QString::number(now.size())));
            const QStringList stray = strayEntries(dir.path(), {QStringLiteral("settings.ini")});
            QVERIFY2(stray.isEmpty(), qPrintable(stray.join(u' ')));
        }
    }
};

QTEST_GUILESS_MAIN(CrashSafety)
#include "tst_crashsafety.moc"
