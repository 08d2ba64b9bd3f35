#include "codec/cp932.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The installed kind of start: the real binary, no display, no platform plugin chosen.
class TestBatchEndToEnd : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    struct Result
    {
        int status;
        QByteArray out, err;
    };

    Result pelorin(const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(m_dir.path());
        p.start(QStringLiteral(PELORIN_BINARY_DIR "/bin/pelorin"), args);
        if (!p.waitForFinished(60000))
            return {-1, {}, "did not finish"};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                p.readAllStandardOutput(), p.readAllStandardError()};
    }

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }

private slots:
    void convertsWithoutADisplay()
    {
        write(QStringLiteral("chat.txt"), cp932::encode(u"A の発言：\r\nこんにちは\r\n"));
        write(QStringLiteral("empty.txt"), QByteArray());
        const QString ini = m_dir.filePath(QStringLiteral("none.ini"));
        const Result r = pelorin({"--batch", "--text", "--settings", ini, "chat.txt", "empty.txt"});
        QCOMPARE(r.status, 1);
        QFile out(m_dir.filePath(QStringLiteral("_chat.txt")));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), cp932::encode(u"A の発言：\r\n\tこんにちは\r\n"));
        QVERIFY2(QString::fromUtf8(r.err).contains(
                     QStringLiteral("empty.txt: 発言者が一人も見つかりませんでした。")),
                 r.err.constData());
        QVERIFY(!QFile::exists(ini));
    }

    void usageAndVersion()
    {
        QCOMPARE(pelorin({"--version"}).out, QByteArray("Pelorin 2.00\n"));
        const Result r = pelorin({"--batch"});
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains("--batch"));
        QCOMPARE(pelorin({"--help"}).status, 0);
    }
};

QTEST_GUILESS_MAIN(TestBatchEndToEnd)
#include "tst_batch_e2e.moc"
